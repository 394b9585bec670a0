#include "render/text_file_device.h"

#include "platform/codepage.h"
#include "platform/path_resolver.h"

ZELTO_IMPLEMENT_ELEMENT(TTextFileDevice, TDevice, [](auto& p) {
  p.String("FileName", &TTextFileDevice::GetFileName, &TTextFileDevice::SetFileName);
})

TTextFileDevice::~TTextFileDevice() {
  if (file_.is_open()) file_.close();
}

std::string TTextFileDevice::GetFileName() const { return file_.is_open() ? fileName_ : std::string(); }

void TTextFileDevice::Open(std::ios::openmode mode) {
  if (file_.is_open()) file_.close();
  file_.clear();
  file_.open(platform::pathResolver().forWriting(fileName_), std::ios::out | mode);
  if (!file_.is_open()) throw EZeltoError("Chyba vstupu/výstupu: soubor " + fileName_);
}

void TTextFileDevice::SetFileName(const std::string& name) {
  if (file_.is_open()) file_.close();
  fileName_ = name;
  Open(std::ios::trunc);
}

void TTextFileDevice::BeginDraw() {
  if (fileName_.empty()) return;
  Open(std::ios::app);
}

void TTextFileDevice::EndDraw() {
  if (file_.is_open()) file_.close();
}

void TTextFileDevice::Write(const std::string& text) {
  if (file_.is_open()) file_ << platform::fromUtf8(text, platform::CodePage::Windows1250);
}

void TTextFileDevice::WriteLine(const std::string& text) {
  if (!file_.is_open()) return;
  Write(text);
  file_ << "\r\n";
}
