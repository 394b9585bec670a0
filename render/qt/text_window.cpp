#include "render/qt/text_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QInputDialog>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolBar>
#include <QVBoxLayout>

#include "framework/message_dispatch.h"
#include "platform/codepage.h"
#include "platform/regular_file.h"
#include "platform/system_cause.h"
#include "platform/whole_file.h"
#include "platform/user_interaction.h"
#include "render/interpret.h"
#include "render/qt/memo_form_device.h"
#include "render/rtf_text.h"

namespace {
const char* const kAskSave = "Obsah souboru byl změněn ... uložit?";

QAction* action(QWidget* owner, QToolBar* bar, const char* caption, const char* hint) {
  auto* a = new QAction(QString::fromUtf8(caption), owner);
  a->setToolTip(QString::fromUtf8(hint));
  a->setStatusTip(QString::fromUtf8(hint));
  bar->addAction(a);
  return a;
}
}  // namespace

bool AskYesNo(const std::string& question) {
  return platform::ui().showMessage(question, platform::MessageKind::Confirmation,
                                    platform::Buttons::YesNo, "Dialog") == platform::Answer::Yes;
}

TStdtxtForm::TStdtxtForm() {
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* bar = new QToolBar(this);
  layout->addWidget(bar);
  text_ = new QTextEdit(this);
  text_->setLineWrapMode(QTextEdit::NoWrap);
  layout->addWidget(text_, 1);
  wrapLines_ = new QCheckBox(QString::fromUtf8("Zalamovat řádky"), this);
  layout->addWidget(wrapLines_);
  status_ = new QStatusBar(this);
  layout->addWidget(status_);

  connect(action(this, bar, "Otevřít", "Otevření souboru"), &QAction::triggered, this, [this] { Open(); });
  connect(action(this, bar, "Uložit", "Uložení do souboru"), &QAction::triggered, this, [this] { Save(); });
  connect(action(this, bar, "Najít text", "Vyhledání textu"), &QAction::triggered, this,
          [this] { ShowFind(); });
  connect(action(this, bar, "Změna písma", "Nastavení písma"), &QAction::triggered, this,
          [this] { ChooseFont(); });
  abort_ = action(this, bar, "Přerušit", "Přerušení výpisu");
  connect(abort_, &QAction::triggered, this, [this] { Abort(); });
  if (QWidget* button = bar->widgetForAction(abort_)) button->setToolTip(QString::fromUtf8("Přerušit výpis"));
  DeviceChanged();
  connect(action(this, bar, "Zavřít", "Zavření formuláře"), &QAction::triggered, this, [this] { close(); });
  // Tests and accessibility tools find the window's parts by these names.
  setObjectName("TStdtxtForm");
  wrapLines_->setObjectName("cb_WrapLines");
  const char* actionNames[] = {"Open", "Save", "FindText", "SetFont", "Abort", "CloseForm"};
  const QList<QAction*> actions = bar->actions();
  for (int i = 0; i < actions.size() && i < 6; ++i) actions[i]->setObjectName(actionNames[i]);

  connect(wrapLines_, &QCheckBox::toggled, this, [this](bool on) {
    text_->setLineWrapMode(on ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
  });
  connect(text_, &QTextEdit::textChanged, this, [this] {
    if (!writingText_) Modified = true;
  });
  connect(text_, &QTextEdit::cursorPositionChanged, this, [this] {
    const QTextCursor c = text_->textCursor();
    status_->showMessage(QString::number(c.blockNumber()) + "/" + QString::number(c.positionInBlock()));
  });
}

void TStdtxtForm::SetDevice(TMemoFormDevice* device) {
  device_ = device;
  DeviceChanged();
}

void TStdtxtForm::DeviceChanged() {
  // Where nothing that writes here can be stopped (the log writes without a
  // renderer), the button shows greyed rather than seeming to work and
  // doing nothing.
  abort_->setEnabled(Writer() != nullptr);
}

TInterpret* TStdtxtForm::Writer() const {
  return device_ ? static_cast<TInterpret*>(device_->FindOwnerByClass(TInterpret::StaticClass())) : nullptr;
}

void TStdtxtForm::WritePending(const std::string& text) {
  pending_ += text;
  writingText_ = true;
  QTextCursor c(text_->document());
  c.movePosition(QTextCursor::End);
  c.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
  c.insertText(QString::fromUtf8(pending_.data(), static_cast<qsizetype>(pending_.size())));
  writingText_ = false;
  Modified = true;
}

void TStdtxtForm::EndLine() {
  pending_.clear();
  writingText_ = true;
  QTextCursor c(text_->document());
  c.movePosition(QTextCursor::End);
  c.insertBlock();
  c.insertText(QStringLiteral(" "));
  writingText_ = false;
  text_->setTextCursor(c);
  text_->ensureCursorVisible();
}

void TStdtxtForm::AddLine(const QString& line) {
  const QByteArray bytes = line.toUtf8();
  WritePending(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  EndLine();
}

void TStdtxtForm::ClearText() {
  writingText_ = true;
  text_->clear();
  writingText_ = false;
  pending_.clear();
}

bool TStdtxtForm::SaveToFile(const QString& path) {
  QString content = text_->toPlainText();
  const bool plainText = QFileInfo(path).suffix().toUpper() == "TXT";
  if (plainText) content.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  const QByteArray utf8 = content.toUtf8();
  const std::string plain(utf8.constData(), static_cast<std::size_t>(utf8.size()));
  const std::string bytes =
      plainText ? platform::fromUtf8(plain, platform::CodePage::Windows1250) : render::PlainTextToRtf(plain);
  std::error_code error;
  if (!platform::replaceFileWhole(path.toStdString(), bytes, error)) {
    platform::showError("Soubor " + path.toStdString() + " nelze uložit: " + platform::systemCause(error));
    return false;
  }
  directory_ = QFileInfo(path).absolutePath();
  Modified = false;
  return true;
}

bool TStdtxtForm::LoadFromFile(const QString& path) {
  // Not through QFile: it would wait for ever on a named pipe nobody writes.
  std::string raw;
  std::error_code error;
  if (!platform::readRegularFile(path.toStdString(), raw, error)) return false;
  const std::string text = raw.rfind("{\\rtf", 0) == 0
                               ? render::RtfToPlainText(raw)
                               : platform::toUtf8(raw, platform::CodePage::Windows1250);
  writingText_ = true;
  QString content = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  content.remove(QLatin1Char('\r'));
  text_->setPlainText(content);
  writingText_ = false;
  pending_.clear();
  directory_ = QFileInfo(path).absolutePath();
  Modified = false;
  return true;
}

bool TStdtxtForm::FindNext(const QString& what) {
  QTextCursor from = text_->textCursor();
  from.setPosition(from.selectionStart() + 1);
  const QTextCursor found = text_->document()->find(what, from);
  if (found.isNull()) {
    const QByteArray t = what.toUtf8();
    platform::ui().showMessage("Text " + std::string(t.constData(), static_cast<std::size_t>(t.size())) +
                               " Nenalezen !");
    return false;
  }
  text_->setTextCursor(found);
  text_->ensureCursorVisible();
  text_->setFocus();
  return true;
}

void TStdtxtForm::Abort() {
  TInterpret* writer = Writer();
  if (!writer) return;
  writer->SetBreakWork(true);
  AddLine(QString::fromUtf8("***** Přerušeno uživatelem !!!!!! *****"));
  AddLine(QStringLiteral("  "));
}

void TStdtxtForm::closeEvent(QCloseEvent* event) {
  if (Writing) {
    event->ignore();
    return;
  }
  // A text the user wants kept and that was not saved keeps its window.
  if (Modified && AskYesNo(kAskSave) && !Save()) {
    event->ignore();
    return;
  }
  Closing = true;
  event->accept();
  zelto::ProcessPendingMessages();
  TMemoFormDevice* device = device_;
  device_ = nullptr;
  delete device;
}

void TStdtxtForm::Open() {
  if (Modified && AskYesNo(kAskSave) && !Save()) return;
  const QString path = QFileDialog::getOpenFileName(this, QString(), directory_,
                                                    QStringLiteral("Text, RTF (*.txt *.rtf)"));
  if (!path.isEmpty()) LoadFromFile(path);
}

bool TStdtxtForm::Save() {
  QFileDialog dialog(this, QString::fromUtf8("Uložení protokolu do souboru"), directory_);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  const QStringList filters = {QString::fromUtf8("textový soubor (*.txt)"),
                               QStringLiteral("RTF soubor (*.rtf)")};
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(QStringLiteral("TXT"));
  connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, filters](const QString& f) {
    dialog.setDefaultSuffix(f == filters[0] ? QStringLiteral("TXT") : QStringLiteral("RTF"));
  });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  return SaveToFile(dialog.selectedFiles().first());
}

void TStdtxtForm::ShowFind() {
  bool ok = false;
  const QString what = QInputDialog::getText(this, QString::fromUtf8("Najít text"), QString(),
                                             QLineEdit::Normal, QString(), &ok);
  if (ok && !what.isEmpty()) FindNext(what);
}

void TStdtxtForm::ChooseFont() {
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, text_->font(), this);
  if (ok) text_->setFont(font);
}
