#include "platform/regular_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>

#include "files.h"
#include "pipe_watch.h"
#include "platform/dbase_table.h"
#include "platform/system_cause.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

// A table, or any file a user names, that is a named pipe, a directory or
// a device is refused as what it is, before anything waits on it; what lies
// there stays.
TEST(RegularFile, WhatIsNoFileIsRefusedAsWhatItIsWithoutWaitingOnIt) {
  const test_support::TempDir dir("regular");
  const fs::path file = dir / "P0110.DBF";
  const struct {
    const char* what;
    std::function<std::unique_ptr<test_support::PipeWatch>()> make;
    std::string told;
  } kinds[] = {
      {"a named pipe", [&] { return std::make_unique<test_support::PipeWatch>(file); },
       "není soubor, ale pojmenovaná roura"},
      {"a directory", [&] { return fs::create_directory(file), nullptr; }, "není soubor, ale adresář"},
      {"a device", [&] { return fs::create_symlink("/dev/null", file), nullptr; }, "není soubor, ale zařízení"},
  };
  for (const auto& kind : kinds) {
    SCOPED_TRACE(kind.what);
    fs::remove_all(file);
    const std::unique_ptr<test_support::PipeWatch> pipe = kind.make();
    std::error_code error;
    EXPECT_FALSE(platform::openRegularFile(file, O_RDONLY, error));
    EXPECT_EQ(platform::systemCause(error), kind.told);
    std::string bytes;
    EXPECT_FALSE(platform::readRegularFile(file, bytes, error));
    EXPECT_TRUE(platform::isNotRegularFile(error));
    platform::DbfTable table;
    try {
      table.open(file, true);
      ADD_FAILURE() << "opened";
    } catch (const platform::DbfOpenError& e) {
      EXPECT_EQ(std::string(e.what()), file.string() + " " + kind.told);
      EXPECT_EQ(e.fault(), kind.told);
    }
    EXPECT_FALSE(platform::DbfTable::stampOf(file));
    EXPECT_FALSE(platform::appendToRegularFile(file, "řádek\r\n", error));
    EXPECT_EQ(platform::systemCause(error), kind.told);
    // Nobody reads the pipe: a writer would wait as long as a reader.
    if (!pipe) {
      EXPECT_THROW(platform::DbfTable::create(file, {{"CISLO", 'N', 6, 0, 0}}), platform::DbfError);
      EXPECT_TRUE(fs::exists(fs::symlink_status(file)) && !fs::is_regular_file(file));
    }
    if (pipe) {
      EXPECT_FALSE(pipe->waitedOn()) << "opened the pipe";
    }
  }
}

// The stream stands where a file stream would after each step: reads and
// writes share one position, a seek lets what waits reach the file first,
// and reads larger than its buffer go straight to their place.
TEST(RegularFile, TheStreamReadsAndWritesAsAFileStreamDoes) {
  const test_support::TempDir dir("stream");
  const fs::path file = dir / "TN.CRD";
  std::string large(200'000, '\0');
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>('a' + i % 26);
  {
    platform::RegularFileStream out(file, std::ios::out | std::ios::trunc);
    out << "hlavicka" << large;
    out.close();
    ASSERT_TRUE(out);
  }
  platform::RegularFileStream io(file, std::ios::in | std::ios::out);
  char head[8];
  ASSERT_TRUE(io.read(head, sizeof head));
  EXPECT_EQ(std::string(head, sizeof head), "hlavicka");
  EXPECT_EQ(io.tellg(), 8);
  io.seekp(3);
  io << "XY";
  EXPECT_EQ(io.tellp(), 5);
  EXPECT_EQ(io.get(), 'c');  // on from where the write ended
  std::string rest(large.size(), '\0');
  io.seekg(8);
  ASSERT_TRUE(io.read(rest.data(), static_cast<std::streamsize>(rest.size())));
  EXPECT_EQ(rest, large);
  EXPECT_EQ(io.get(), std::char_traits<char>::eof());
  io.clear();
  io.seekp(0, std::ios::end);
  io << "konec";
  io.close();
  ASSERT_TRUE(io);
  std::string whole;
  std::error_code error;
  ASSERT_TRUE(platform::readRegularFile(file, whole, error));
  EXPECT_EQ(whole, "hlaXYcka" + large + "konec");
}

// Opened to append, the stream stands where a file stream would: at the
// end where it only writes, so that it tells the file's size and a seek
// back lands inside the file; at the beginning where it reads too. Writes
// go to the end either way.
TEST(RegularFile, AStreamOpenedToAppendStandsWhereAFileStreamWould) {
  const test_support::TempDir dir("append");
  using std::ios;
  const struct {
    const char* what;
    ios::openmode mode;
  } modes[] = {
      {"app", ios::app},
      {"out | app", ios::out | ios::app},
      {"in | out | app", ios::in | ios::out | ios::app},
      {"in | app", ios::in | ios::app},
  };
  for (const auto& m : modes) {
    SCOPED_TRACE(m.what);
    const fs::path file = dir / "0001.PTC", expected = dir / "expected";
    test_support::WriteFile(file, "první\r\n");
    test_support::WriteFile(expected, "první\r\n");
    platform::RegularFileStream stream(file, m.mode);
    std::fstream standard(expected, m.mode | ios::binary);
    ASSERT_TRUE(stream.is_open() && standard.is_open());
    EXPECT_EQ(stream.tellp(), standard.tellp());
    stream.seekp(-2, ios::cur);
    standard.seekp(-2, ios::cur);
    EXPECT_EQ(stream.good(), standard.good());
    EXPECT_EQ(stream.tellp(), standard.tellp());
    stream.clear();
    standard.clear();
    stream << "druhý\r\n";
    standard << "druhý\r\n";
    stream.close();
    standard.close();
    EXPECT_TRUE(stream);
    EXPECT_EQ(test_support::ReadFile(file), test_support::ReadFile(expected));
    EXPECT_EQ(test_support::ReadFile(file), "první\r\ndruhý\r\n");
  }
}

}  // namespace
