#include "ui/extended/intervals_panel.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include "reports/interval_table.h"
#include "settings/interval_settings.h"

namespace quelvaris::ui {

IntervalsPanel::IntervalsPanel(const ExtendedRun& run,
                               std::function<void(const BootstrapResult&)> finished,
                               QWidget* parent)
    : QWidget(parent), run_(run), finished_(std::move(finished)) {
  setObjectName(QStringLiteral("IntervalsPanel"));
  const IntervalSettings kept = LoadIntervalSettings(run_.settings_file);

  auto* resamples_label = new QLabel(QStringLiteral("Resamples:"), this);
  resamples_ = new QSpinBox(this);
  resamples_->setObjectName(QStringLiteral("IntervalResamples"));
  resamples_->setRange(1, kMaxIntervalResamples);
  resamples_->setSingleStep(100);
  resamples_->setValue(kept.resamples);
  resamples_->setToolTip(QStringLiteral("How many block resamples of the rows the intervals take"));
  resamples_label->setBuddy(resamples_);

  auto* confidence_label = new QLabel(QStringLiteral("Confidence:"), this);
  confidence_ = new QDoubleSpinBox(this);
  confidence_->setObjectName(QStringLiteral("IntervalConfidence"));
  confidence_->setDecimals(3);
  confidence_->setRange(0.001, 0.999);
  confidence_->setSingleStep(0.05);
  confidence_->setValue(kept.confidence);
  confidence_->setToolTip(QStringLiteral("The share of resamples each percentile interval spans"));
  confidence_label->setBuddy(confidence_);

  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("IntervalsProgress"));
  progress_->setVisible(false);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_->setObjectName(QStringLiteral("IntervalsCancel"));
  cancel_->setVisible(false);
  connect(cancel_, &QPushButton::clicked, this, &IntervalsPanel::Cancel);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("IntervalsStatus"));

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(8, 0, 8, 4);
  layout->addWidget(resamples_label);
  layout->addWidget(resamples_);
  layout->addSpacing(8);
  layout->addWidget(confidence_label);
  layout->addWidget(confidence_);
  layout->addSpacing(8);
  layout->addWidget(progress_, 1);
  layout->addWidget(cancel_);
  layout->addWidget(status_, 1);

  timer_ = new QTimer(this);
  timer_->setInterval(50);
  connect(timer_, &QTimer::timeout, this, &IntervalsPanel::Poll);
}

IntervalsPanel::~IntervalsPanel() = default;  // the job cancels and waits for its threads

void IntervalsPanel::Start() {
  if (job_) return;
  BootstrapOptions options;
  options.resamples = resamples_->value();
  options.confidence = confidence_->value();
  // Kept for the next time; a settings file that cannot be written costs only that.
  SaveIntervalSettings(run_.settings_file, {options.resamples, options.confidence});
  progress_->setRange(0, options.resamples);
  progress_->setValue(0);
  progress_->setVisible(true);
  cancel_->setVisible(true);
  status_->setVisible(false);
  resamples_->setEnabled(false);
  confidence_->setEnabled(false);
  job_ = std::make_unique<IntervalsJob>(run_, options);
  timer_->start();
}

void IntervalsPanel::Cancel() {
  if (job_) job_->Cancel();
}

void IntervalsPanel::Poll() {
  if (!job_) return;
  progress_->setValue(job_->Done());
  if (!job_->Finished()) return;
  timer_->stop();
  const std::unique_ptr<IntervalsJob> job = std::move(job_);
  progress_->setVisible(false);
  cancel_->setVisible(false);
  resamples_->setEnabled(true);
  confidence_->setEnabled(true);
  status_->setVisible(true);
  const BootstrapResult& result = job->Result();
  if (result.cancelled) {
    status_->setText(QStringLiteral("Intervals cancelled."));
    return;
  }
  status_->setText(QString::fromStdString(IntervalsNote(result)));
  if (finished_) finished_(result);
}

}  // namespace quelvaris::ui
