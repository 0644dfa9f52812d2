#include "test_support.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <random>
#include <sstream>

namespace quelvaris::testing {

MessageAnswer RecordingSink::ShowMessage(const std::string& title, const std::string& text,
                                         MessageIcon icon, MessageButtons buttons) {
  shown.push_back({title, text, icon, buttons});
  if (!answers.empty()) {
    MessageAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

std::vector<std::string> RecordingSink::TextsTitled(const std::string& title) const {
  std::vector<std::string> texts;
  for (const auto& m : shown) {
    if (m.title == title) texts.push_back(m.text);
  }
  return texts;
}

FakeRunHost::FakeRunHost() {
  boxes = {{RunBox::ThreshText, "0"},       {RunBox::LowerBoundText, "0"},
           {RunBox::UpperBoundText, "9999"}, {RunBox::ColToAnalText, "2"},
           {RunBox::NoOfColsText, "2"},      {RunBox::AICBICParmsText, "0"},
           {RunBox::AICBICPointsText, "0"}};
  switches = {{RunSwitch::HeaderRow, false},   {RunSwitch::TabDelimited, true},
              {RunSwitch::AnalyseAll, false},  {RunSwitch::ApplyBounds, false},
              {RunSwitch::CalcAICBIC, false}};
}

std::string FakeRunHost::BoxText(RunBox box) const { return boxes.at(box); }
bool FakeRunHost::SwitchOn(RunSwitch which) const { return switches.at(which); }
void FakeRunHost::ShowStatistics(const StatisticsDisplay& display) { displays.push_back(display); }

TempDir::TempDir() {
  static std::mt19937_64 rng{std::random_device{}()};
  auto base = std::filesystem::temp_directory_path();
  for (;;) {
    auto candidate = base / ("quelvaris-test-" + std::to_string(rng()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      break;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  // Tests may have taken permissions away; give them back so the folder can go.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& content) const {
  auto p = path_ / name;
  std::ofstream out(p, std::ios::binary);
  out << content;
  return p.string();
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool CloseTo(double actual, double expected, double tol) {
  return std::fabs(actual - expected) <= tol * std::max(1.0, std::fabs(expected));
}

}  // namespace quelvaris::testing
