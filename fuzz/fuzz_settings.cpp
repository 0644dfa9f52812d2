// Settings files: any bytes as a settings file load without a crash; a value written is read
// back unchanged and every other key of the file survives the write.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/ini_file.h"
#include "platform/message_sink.h"
#include "settings/global_settings.h"
#include "settings/settings_store.h"

namespace {
void Require(bool condition) {
  if (!condition) std::abort();
}

class SilentSink : public quelvaris::MessageSink {
 public:
  quelvaris::MessageAnswer ShowMessage(const std::string&, const std::string&,
                                       quelvaris::MessageIcon, quelvaris::MessageButtons) override {
    return quelvaris::MessageAnswer::Ok;
  }
};

class IgnoringListener : public quelvaris::SettingsListener {
 public:
  void DefaultDirLoaded(const std::string&) override {}
  void MissingCodeLoaded(double) override {}
  void DecimalsLoaded(int) override {}
};

std::string ScratchPath() {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("quelvaris-fuzz-" + std::to_string(getpid())))
          .string();
  return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = ScratchPath() + ".ini";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  SilentSink sink;
  quelvaris::GlobalSettings settings;
  quelvaris::SetDefaultSettings(settings);
  settings.INIFile = path;
  quelvaris::LoadSettingsAtStart(settings, sink);
  // A redirection found in the bytes must not send the load below anywhere but our file.
  settings.INIFile = path;
  IgnoringListener listener;
  quelvaris::LoadSavedSettings(settings, sink, listener);

  const std::string before_other = quelvaris::ReadIniValue(path, "Other", "Key", "absent");
  if (quelvaris::WriteIniValue(path, "Quelvaris", "DefaultDir", "/data/fuzz dir")) {
    Require(quelvaris::ReadIniValue(path, "Quelvaris", "DefaultDir", "x") == "/data/fuzz dir");
    Require(quelvaris::ReadIniValue(path, "Other", "Key", "absent") == before_other);
  }
  std::filesystem::remove(path);
  return 0;
}
