#pragma once
// Paths as the GIS data tree and the settings spell them ("C:\ZELTO\TEST.BLK",
// "\LHC\R01\P1600.DBF", "tn.crd") mapped onto the Linux file system: drive
// letters go to configured directories, backslashes separate components, and
// the letter case of a name does not matter when a file is looked up.
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace platform {

class PathResolver {
 public:
  // The directory that stands for drive `letter` (either case).
  void setDrive(char letter, std::filesystem::path directory);
  void removeDrive(char letter);
  // The drive of paths that begin with a backslash but name no drive.
  void setCurrentDrive(char letter);
  char currentDrive() const { return currentDrive_; }
  const std::map<char, std::filesystem::path>& drives() const { return drives_; }

  // The path spelled with the directory of its drive, without looking at the
  // disk. A path of a drive that has no directory gives an empty path, which
  // names no file. Relative paths stay relative to the working directory; a
  // native absolute path ("/tmp/x") passes as it is.
  std::filesystem::path mapped(std::string_view path) const;

  // The file or directory that exists under the path, each component matched
  // regardless of case; where a component has no match the rest stays as
  // spelled.
  std::filesystem::path existing(std::string_view path) const;

  // Where to create the file: the components that exist are matched as in
  // `existing`, the others are written in upper case.
  std::filesystem::path forWriting(std::string_view path) const;

  bool exists(std::string_view path) const;

  // The mapped path made absolute, without "." and ".." and without a
  // trailing separator; empty where `mapped` is. The disk is not looked at.
  std::string normalized(std::string_view path) const;
  // Whether two paths name one file as the lookups here find it: normalized
  // alike whatever the letter case, since the tree's names ignore it.
  bool sameFile(std::string_view a, std::string_view b) const;

  // A file's path as the user chose it: under a drive's directory it is
  // spelled with that drive and backslashes ("D:\GIS\4107\01\DET.BLK"),
  // anywhere else it stays as it is.
  std::string userSpelling(const std::filesystem::path& native) const;

 private:
  std::filesystem::path lookUp(std::string_view path, bool lookOnDisk, bool upperCaseMissing) const;

  std::map<char, std::filesystem::path> drives_;
  char currentDrive_ = 'C';
};

// The program's one resolver, configured at start from the settings.
PathResolver& pathResolver();

}  // namespace platform
