#include "cli/results_targets.h"

#include <sys/stat.h>

#include <filesystem>

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

}  // namespace

std::vector<std::string> ResultsTargets(const CliOptions& o) {
  std::vector<std::string> targets;
  for (const std::string& data : o.data_files) {
    if (o.results) {
      targets.push_back(*o.results);
    } else if (o.results_dir) {
      const std::string stem = data == "-" ? "stdin" : fs::path(data).stem().string();
      // A data path with no file name never runs ("You must select a file to analyse."),
      // so it has no results file either.
      targets.push_back(stem.empty()
                            ? std::string()
                            : (fs::path(*o.results_dir) / (stem + ".results.txt")).string());
    } else {
      targets.emplace_back();
    }
  }
  return targets;
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
        return "The data files " + o.data_files[j] + " and " + o.data_files[i] +
               " would both have the results file " + targets[i] + ".";
      }
      if (o.data_files[j] != "-" && target_keys[i] == data_keys[j]) {
        return "The results file " + targets[i] + " of " + o.data_files[i] +
               " would replace the data file " + o.data_files[j] + ".";
      }
    }
  }
  return std::nullopt;
}

}  // namespace quelvaris::cli
