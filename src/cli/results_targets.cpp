#include "cli/results_targets.h"

#include <sys/stat.h>

#include <filesystem>

#include "platform/visible_text.h"

namespace quelvaris::cli {

namespace fs = std::filesystem;

namespace {

// What makes two paths one file: the file itself when it exists (so a link and a second hard
// link count), else the path as it will be created.
struct FileKey {
  dev_t device = 0;
  ino_t inode = 0;
  std::string path;
  bool operator==(const FileKey&) const = default;
};

FileKey KeyOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) return {st.st_dev, st.st_ino, {}};
  std::error_code ec;
  return {0, 0, fs::absolute(path, ec).lexically_normal().string()};
}

// The folder of a data file, absolute and without "." or "..".
fs::path FolderOf(const std::string& data) {
  std::error_code ec;
  return fs::absolute(data, ec).lexically_normal().parent_path();
}

// The deepest folder that holds all of `folders`.
fs::path CommonFolder(const std::vector<fs::path>& folders) {
  fs::path common = folders.front();
  for (const fs::path& folder : folders) {
    fs::path shared;
    auto a = common.begin();
    for (auto b = folder.begin(); a != common.end() && b != folder.end() && *a == *b; ++a, ++b) {
      shared /= *a;
    }
    common = shared;
  }
  return common;
}

}  // namespace

std::vector<std::string> ResultsTargets(const CliOptions& o) {
  std::vector<std::string> targets;
  if (!o.results_dir) {
    targets.assign(o.data_files.size(), o.results.value_or(std::string()));
    return targets;
  }
  const fs::path dir(*o.results_dir);
  // The name each data file's results file takes: the stem, "stdin" standing for "-". A data
  // path with no file name never runs ("You must select a file to analyse."), so it has no
  // results file either.
  std::vector<std::string> names;
  for (const std::string& data : o.data_files) {
    const std::string stem = data == "-" ? "stdin" : fs::path(data).stem().string();
    names.push_back(stem.empty() ? std::string() : stem + ".results.txt");
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i].empty()) {
      targets.emplace_back();
      continue;
    }
    // Data files that share the name keep their folders below the one they share, so that
    // a/flows.txt and b/flows.txt write DIR/a/... and DIR/b/...; any other file is DIR/NAME.
    std::vector<fs::path> folders;
    bool shared = false;
    for (std::size_t j = 0; j < names.size(); ++j) {
      if (names[j] != names[i] || o.data_files[j] == "-") continue;
      folders.push_back(FolderOf(o.data_files[j]));
      shared = shared || j != i;
    }
    if (!shared || o.data_files[i] == "-") {
      targets.push_back((dir / names[i]).string());
      continue;
    }
    const fs::path below = FolderOf(o.data_files[i]).lexically_relative(CommonFolder(folders));
    targets.push_back((dir / below / names[i]).lexically_normal().string());
  }
  return targets;
}

void MakeResultsFolders(const std::vector<std::string>& targets) {
  for (const std::string& target : targets) {
    if (target.empty()) continue;
    std::error_code ec;  // a folder that cannot be made fails the run's own write, which says so
    fs::create_directories(fs::path(target).parent_path(), ec);
  }
}

std::optional<std::string> CheckResultsTargets(const CliOptions& o) {
  if (!o.results_dir) return std::nullopt;
  if (o.results_dir->empty()) return "A folder name is needed after --results-dir.";
  const std::vector<std::string> targets = ResultsTargets(o);
  std::vector<FileKey> target_keys;
  std::vector<FileKey> data_keys;
  for (std::size_t i = 0; i < targets.size(); ++i) {
    target_keys.push_back(KeyOf(targets[i]));
    data_keys.push_back(o.data_files[i] == "-" ? FileKey{} : KeyOf(o.data_files[i]));
  }
  for (std::size_t i = 0; i < targets.size(); ++i) {
    if (targets[i].empty()) continue;
    for (std::size_t j = 0; j < targets.size(); ++j) {
      if (j < i && !targets[j].empty() && target_keys[i] == target_keys[j]) {
        return "The data files " + VisibleText(o.data_files[j]) + " and " +
               VisibleText(o.data_files[i]) + " would both have the results file " +
               VisibleText(targets[i]) + ".";
      }
      if (o.data_files[j] != "-" && target_keys[i] == data_keys[j]) {
        return "The results file " + VisibleText(targets[i]) + " of " +
               VisibleText(o.data_files[i]) + " would replace the data file " +
               VisibleText(o.data_files[j]) + ".";
      }
    }
  }
  return std::nullopt;
}

}  // namespace quelvaris::cli
