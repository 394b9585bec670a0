#pragma once
// The text window: a listing that renderers and the log write into through
// a memo-form device, and that the user can save, reopen, search, re-font
// and, while a renderer writes, stop.
#include <QCheckBox>
#include <QStatusBar>
#include <QString>
#include <QTextEdit>
#include <QWidget>
#include <string>

class TInterpret;
class TMemoFormDevice;
class QAction;

// A yes/no question box; true for yes.
bool AskYesNo(const std::string& question);

class TStdtxtForm : public QWidget {
 public:
  TStdtxtForm();

  QTextEdit* Text() const { return text_; }
  QString StatusText() const { return status_->currentMessage(); }
  TMemoFormDevice* Device() const { return device_; }
  void SetDevice(TMemoFormDevice* device);
  // "Přerušit" shows greyed unless a renderer writes here through the
  // device: called whenever the device or its owners change.
  void DeviceChanged();

  // The text written since the last line end shows as the last line.
  void WritePending(const std::string& text);
  // Ends the pending line and starts a new one holding one blank.
  void EndLine();
  void ClearText();
  // Plain text for a ".TXT" name (any case), rich text otherwise. The file
  // gets the text whole or stays as it was; a failure is shown, named with
  // its cause, and leaves the text marked as not saved.
  bool SaveToFile(const QString& path);
  bool LoadFromFile(const QString& path);
  // From one character after the selection start; shows "Text ... Nenalezen !"
  // when there is none.
  bool FindNext(const QString& what);
  // Stops the renderer that writes here; nothing without one.
  void Abort();

  bool Writing = false;
  bool Modified = false;
  bool Closing = false;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Open();
  // False when the user chose no file or it could not be saved.
  bool Save();
  void ShowFind();
  void ChooseFont();
  void AddLine(const QString& line);
  // The renderer that writes here: an owner of the device; nil without one.
  TInterpret* Writer() const;

  QTextEdit* text_ = nullptr;
  QStatusBar* status_ = nullptr;
  QCheckBox* wrapLines_ = nullptr;
  QAction* abort_ = nullptr;
  std::string pending_;
  TMemoFormDevice* device_ = nullptr;  // not owned
  QString directory_;
  bool writingText_ = false;  // our own edits, not the user's
};
