// Data files that vanish, cannot be read or hold what no data file should: the run stops with
// the box that names the file and the problem, and the next run works again.

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fault_fixture.h"

#ifdef QUELVARIS_CLI_PATH
#include "cli/cli_runner.h"
#endif

namespace quelvaris::testing {
namespace {

namespace fs = std::filesystem;

const char* const kPairs = "1\t2\n3\t4\n5\t6\n7\t8\n9\t10\n";

class DataFileFaults : public FaultRun {
 protected:
  // After a failure the session must serve the next run as if nothing happened.
  void ExpectNextRunWorks() {
    host.messages.shown.clear();
    reports.lines.clear();
    WriteDataFile(kPairs, "good.txt");
    Run();
    EXPECT_TRUE(ErrorTexts().empty());
    EXPECT_FALSE(reports.lines.empty());
  }
};

TEST_F(DataFileFaults, ChangedBetweenChoosingAndRunning) {
  struct Case {
    const char* name;
    void (*change)(const fs::path& file, const fs::path& folder);
    std::string error_line;
  };
  const std::vector<Case> cases = {
      {"deleted", [](const fs::path& f, const fs::path&) { fs::remove(f); }, "File not found."},
      {"folder deleted", [](const fs::path&, const fs::path& d) { fs::remove_all(d); },
       "A file could not be found."},
      {"folder became a file",
       [](const fs::path&, const fs::path& d) {
         fs::remove_all(d);
         TempDir scratch;
         fs::copy_file(scratch.Write("x", "x"), d);
       },
       "A file could not be found."},
      {"became a folder",
       [](const fs::path& f, const fs::path&) {
         fs::remove(f);
         fs::create_directory(f);
       },
       "Unable to write to drive."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host.messages.shown.clear();
    const fs::path folder = dir.path() / "chosen";
    fs::remove_all(folder);
    fs::create_directory(folder);
    const fs::path file = folder / "flows.txt";
    TempDir scratch;
    fs::copy_file(scratch.Write("flows.txt", kPairs), file);
    ChooseDataFile(file.string());
    c.change(file, folder);
    Run();
    EXPECT_EQ(OnlyErrorLine(), c.error_line);
    EXPECT_EQ(OnlyErrorDetail(), "Data file: " + file.string());
    EXPECT_TRUE(host.displays.empty());
    EXPECT_TRUE(reports.lines.empty());
  }
  ExpectNextRunWorks();
}

// Opens, then fails on the first read: unreadable even for root.
TEST_F(DataFileFaults, AFileThatCannotBeReadStopsTheRun) {
  ChooseDataFile("/proc/self/mem");
  Run();
  EXPECT_EQ(OnlyErrorLine(), "Unable to write to drive.");
  EXPECT_EQ(OnlyErrorDetail(), "Data file: /proc/self/mem");
  ExpectNextRunWorks();
}

TEST_F(DataFileFaults, PermissionTakenAwayAfterChoosing) {
  if (RunningAsRoot()) GTEST_SKIP() << "root reads files whatever their permission bits";
  const std::string path = WriteDataFile(kPairs);
  ::chmod(path.c_str(), 0);
  Run();
  EXPECT_EQ(OnlyErrorLine(), "Permission denied - file could be open.");
  EXPECT_EQ(OnlyErrorDetail(), "Data file: " + path);
  ExpectNextRunWorks();
}

// A named pipe nobody writes to must not freeze the program.
TEST_F(DataFileFaults, APipeWithoutAWriterDoesNotHang) {
  const fs::path pipe = dir.path() / "pipe";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  ChooseDataFile(pipe.string());
  const int status = ExitStatusWithin(10, [&] {
    Run();
    return OnlyErrorLine() == "Input past end of file." ? 0 : 1;
  });
  EXPECT_EQ(status, 0) << (status == -1 ? "the run hung" : "wrong or no error box");
}

// A NUL byte in a field the row needs marks a binary file, and the run ends at its first line
// with the box that says so, however large or endless the file is (a disk image, /dev/zero).
// Columns beyond the row's are never examined.
TEST_F(DataFileFaults, NulBytesMarkABinaryFile) {
  using namespace std::string_literals;
  const std::string binary = "Line 1 holds a NUL byte: the file is binary, not text.";
  std::string image(4u << 20, '\0');
  image.replace(0, 12,
                "\x7f"
                "ELF\x02\x01\x01\0\0\0\0\0");
  struct Case {
    std::string content;  // written to the data file unless `path` is set
    std::string path;
    bool header;
    std::string detail;
  };
  const std::vector<Case> cases = {
      {"1\t2\r\n3\0\t4\r\n"s, "", false, "Line 2 holds a NUL byte: the file is binary, not text."},
      {"1\t2\r\n3\t4\r\n5\t\0\0\r\n"s, "", false,
       "Line 3 holds a NUL byte: the file is binary, not text."},
      {"\0\r\n"s, "", false, binary},
      {"\0\0\0\0\0\0\0\0"s, "", false, binary},
      {"obs\tmod\0\r\n1\t2\r\n"s, "", true, binary},
      {image, "", false, binary},
      {image, "", true, binary},
      {"", "/dev/zero", false, binary},
      {"", "/dev/zero", true, binary},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.detail + (c.header ? ", header" : ""));
    host.messages.shown.clear();
    if (c.path.empty()) {
      WriteDataFile(c.content);
    } else {
      ChooseDataFile(c.path);
    }
    Switch(RunSwitch::HeaderRow, c.header);
    const int status = ExitStatusWithin(10, [&] {
      Run();
      return OnlyErrorLine().empty() && OnlyErrorDetail() == c.detail && host.displays.empty() ? 0
                                                                                               : 1;
    });
    EXPECT_EQ(status, 0) << (status == -1 ? "the run did not end" : "wrong or no error box");
  }

  Switch(RunSwitch::HeaderRow, false);
  host.messages.shown.clear();
  WriteDataFile("1\t2\t\0\r\n3\t4\t\0\0\r\n5\t6\n7\t8\tx\0\n"s);
  Run();
  EXPECT_TRUE(ErrorTexts().empty());
  EXPECT_EQ(session.ObservedStats.Sum, 16);
  ExpectNextRunWorks();
}

// One line of 50 MB: one row read, no more memory than the line needs, a prompt answer.
TEST_F(DataFileFaults, AFiftyMegabyteLine) {
  constexpr std::size_t kSize = 50u << 20;
  std::string fields;
  fields.reserve(kSize + 16);
  while (fields.size() < kSize) fields += "12345.678\t";
  std::string digits(kSize, '7');
  struct Case {
    const std::string* content;
    std::string error;
  };
  const std::vector<Case> cases = {
      {&fields,
       "Insufficient data to make calculations.\rOnly 1 rows processed.\r"
       "0 missing observed values noted."},
      {&digits,
       kSorry + "\r\n\r\nLine 1, column 1: \"" + std::string(40, '7') + "...\" is not a number."},
  };
  for (const auto& c : cases) {
    host.messages.shown.clear();
    WriteDataFile(*c.content, "long.txt");
    Run();
    EXPECT_EQ(ErrorTexts(), std::vector<std::string>{c.error});
  }
}

// The largest table a data file can fill, each figure spelt with 300 characters.
TEST_F(DataFileFaults, TenThousandRowsOfThirtyLongNumbers) {
  std::string content;
  content.reserve(10000u * 30u * 301u + 16);
  double observed_sum = 0;
  for (int row = 0; row < 10000; ++row) {
    observed_sum += 101 + row % 7 + ((row + 1) % 10) / 9.0;
    for (int col = 1; col <= 30; ++col) {
      // 300 characters: a value near 100 + col, then digits that only refine it.
      std::string number = std::to_string(100 + col + row % 7) + ".";
      number.append(300 - number.size(), static_cast<char>('0' + (row + col) % 10));
      content += number;
      content += col == 30 ? "\r\n" : "\t";
    }
  }
  WriteDataFile(content, "wide.txt");
  ChooseResultsFile((dir.path() / "wide results.txt").string());
  Box(RunBox::NoOfColsText, "30");
  Switch(RunSwitch::AnalyseAll, true);
  Run();
  EXPECT_TRUE(ErrorTexts().empty());
  ASSERT_EQ(host.messages.TextsTitled("Results"),
            std::vector<std::string>{"Processed 10000 rows in file.\r0 missing observed values "
                                     "noted.\rAll results will be saved to wide results.txt."});
  ASSERT_EQ(results_files.size(), 1u);
  EXPECT_NE(results_files[0].find("\tMod  30 "), std::string::npos);
  EXPECT_TRUE(CloseTo(session.ObservedStats.Mean, observed_sum / 10000, 1e-12));
}

#ifdef QUELVARIS_CLI_PATH
// A field that would clear the screen or ring the bell reaches standard error as escapes.
TEST(DataFileFaultsCli, StandardErrorNeverGetsARawControlByte) {
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "config");
  const std::string data = dir.Write("flows.csv", "1,2\r\n3,\x1b[2J\x07\x7f\r\n");
  const CliResult r = RunCli({data, "--comma"}, dir.path() / "config");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Line 2, column 2: \"\\x1b[2J\\x07\\x7f\" is not a number."),
            std::string::npos)
      << r.err;
  for (const char c : r.err) {
    EXPECT_TRUE(c == '\n' || (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f)) << int(c);
  }
}
#endif

}  // namespace
}  // namespace quelvaris::testing
