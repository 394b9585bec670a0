#pragma once
// A device that takes text instead of drawings: Write and WriteLine append
// to a text file (Windows-1250, CRLF line ends). It has no page.
#include <string>

#include "platform/regular_file.h"
#include "render/device.h"

class TTextFileDevice : public TDevice {
  ZELTO_ELEMENT(TTextFileDevice)
 public:
  TTextFileDevice() : TDevice(false) {}
  ~TTextFileDevice() override;

  // The name while the file is open for output, else empty.
  std::string GetFileName() const;
  // Closes the file, then creates or empties the named one and keeps it
  // open; EZeltoError when it cannot be created.
  void SetFileName(const std::string& name);

  TCanvas* GetHandle() override { return nullptr; }
  void SetVisible(bool) override {}
  void Clear() override {}
  void Spare() override {}
  void SetupPage() override {}
  // Reopens the file for appending; EZeltoError when that fails.
  void BeginDraw() override;
  void EndDraw() override;
  // Ignored while no file is open.
  void Write(const std::string& text) override;
  void WriteLine(const std::string& text) override;

 private:
  void Open(std::ios::openmode mode);

  std::string fileName_;
  platform::RegularFileStream file_;
};
