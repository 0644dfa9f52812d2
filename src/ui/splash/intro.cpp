#include "ui/splash/intro.h"

#include <utility>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/settings_store.h"
#include "ui/splash/splash_picture.h"

namespace quelvaris::ui {

Intro::Intro(GlobalSettings& settings, std::function<void()> show_main,
             std::function<void()> exit_program, QWidget* parent)
    : QWidget(parent),
      settings_(settings),
      show_main_(std::move(show_main)),
      exit_program_(std::move(exit_program)) {
  setObjectName("Intro");
  setWindowTitle("Quelvaris - model performance statistics");
  setAttribute(Qt::WA_DeleteOnClose);
  setFont(QFont("Arial", 10));
  QPalette grey = palette();
  grey.setColor(QPalette::Window, QColor(224, 224, 224));
  grey.setColor(QPalette::WindowText, Qt::black);
  setPalette(grey);
  setAutoFillBackground(true);

  auto* picture = new QLabel(this);
  picture->setObjectName("IntroPicture");
  picture->setPixmap(DrawSplashPicture(QSize(520, 300)));
  picture->setFrameShape(QFrame::Box);
  picture->setLineWidth(1);

  auto* version = new QLabel("Quelvaris 1.3", this);
  version->setObjectName("VersionLabel");
  version->setFont(QFont("Arial", 18, QFont::Bold));
  auto* date = new QLabel("15 February 2024", this);
  date->setObjectName("DateLabel");
  date->setFont(QFont("Arial", 11));

  splash_check_ = new QCheckBox("Do not show this splash screen again", this);
  splash_check_->setObjectName("SplashCheck");
  splash_check_->setChecked(false);

  auto* start = new QPushButton("&Start", this);
  start->setObjectName("StartButton");
  start->setToolTip("Start Quelvaris");
  start->setDefault(true);
  auto* exit = new QPushButton("&Exit", this);
  exit->setObjectName("ExitButton");
  exit->setToolTip("Exit from Quelvaris");
  for (QPushButton* b : {start, exit}) b->setMinimumWidth(96);
  connect(start, &QPushButton::clicked, this, [this] { Start(); });
  connect(exit, &QPushButton::clicked, this, [this] { Exit(); });

  auto* titles = new QHBoxLayout;
  titles->addWidget(version);
  titles->addStretch(1);
  titles->addWidget(date, 0, Qt::AlignBottom);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(splash_check_);
  buttons->addStretch(1);
  buttons->addWidget(start);
  buttons->addWidget(exit);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(14, 14, 14, 14);
  layout->setSpacing(10);
  layout->addWidget(picture, 0, Qt::AlignHCenter);
  layout->addLayout(titles);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  start->setFocus();
}

void Intro::Start() {
  if (splash_check_->isChecked()) TurnSplashOff(settings_);
  show_main_();
  close();
}

void Intro::Exit() {
  exit_program_();
}

}  // namespace quelvaris::ui
