#include "render/qt/memo_form_device.h"

#include "framework/message_dispatch.h"
#include "framework/zelto_message.h"
#include "platform/qt/late_window.h"
#include "platform/qt/window_placement.h"

ZELTO_IMPLEMENT_ELEMENT(TMemoFormDevice, TDevice, [](auto& p) {
  using D = TMemoFormDevice;
  p.Integer("Left", &D::GetLeft, &D::SetLeft);
  p.Integer("Top", &D::GetTop, &D::SetTop);
  p.Integer("Width", &D::GetWidth, &D::SetWidth);
  p.Integer("Height", &D::GetHeight, &D::SetHeight);
  p.String("Caption", &D::GetCaption, &D::SetCaption);
})

TMemoFormDevice::TMemoFormDevice() {
  form_ = new TStdtxtForm;
  form_->SetDevice(this);
}

TMemoFormDevice::~TMemoFormDevice() {
  if (form_ && !form_->Closing) form_->SetDevice(nullptr);
  PostMessage(zelto::msg::Finished, nullptr);
  zelto::ProcessPendingMessages();
}

std::int32_t TMemoFormDevice::GetLeft() const { return form_ ? form_->x() : 0; }
std::int32_t TMemoFormDevice::GetTop() const { return form_ ? form_->y() : 0; }
std::int32_t TMemoFormDevice::GetWidth() const { return form_ ? form_->width() : 0; }
std::int32_t TMemoFormDevice::GetHeight() const { return form_ ? form_->height() : 0; }
std::string TMemoFormDevice::GetCaption() const {
  return form_ ? form_->windowTitle().toStdString() : std::string();
}
void TMemoFormDevice::SetLeft(std::int32_t v) {
  if (form_) form_->move(v, form_->y());
}
void TMemoFormDevice::SetTop(std::int32_t v) {
  if (form_) form_->move(form_->x(), v);
}
void TMemoFormDevice::SetWidth(std::int32_t v) {
  if (form_) form_->resize(v, form_->height());
}
void TMemoFormDevice::SetHeight(std::int32_t v) {
  if (form_) form_->resize(form_->width(), v);
}
void TMemoFormDevice::SetCaption(const std::string& caption) {
  if (form_) form_->setWindowTitle(QString::fromStdString(caption));
}

void TMemoFormDevice::SetVisible(bool visible) {
  if (!form_) return;
  if (!visible) {
    platform::qt::HideWaiting(*form_);
    return;
  }
  if (form_->isVisible()) return;
  // Placed as it goes up: the device may be gone by then, the window not.
  QPointer<TStdtxtForm> form = form_;
  QPointer<QWidget> opener = opener_;
  platform::qt::ShowWhenNoBox(*form_, [form, opener] {
    if (form) platform::qt::PlaceOnOpening(*form, opener);
  });
}

void TMemoFormDevice::Clear() {
  if (form_) form_->ClearText();
}

void TMemoFormDevice::BeginDraw() {
  if (!form_) return;
  form_->Writing = true;
  zelto::ProcessPendingMessages();
}

void TMemoFormDevice::EndDraw() {
  if (form_) form_->Writing = false;
}

void TMemoFormDevice::Write(const std::string& text) {
  if (form_) form_->WritePending(text);
}

void TMemoFormDevice::WriteLine(const std::string& text) {
  if (!form_) return;
  form_->WritePending(text);
  form_->EndLine();
}

void TMemoFormDevice::InsertOwner(int index, TElement* owner) {
  TDevice::InsertOwner(index, owner);
  if (form_) form_->DeviceChanged();
}

void TMemoFormDevice::AddOwner(TElement* owner) {
  TDevice::AddOwner(owner);
  if (form_) form_->DeviceChanged();
}

void TMemoFormDevice::RemoveOwner(TElement* owner) {
  TDevice::RemoveOwner(owner);
  if (form_) form_->DeviceChanged();
}
