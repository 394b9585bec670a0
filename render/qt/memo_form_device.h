#pragma once
// A device that writes lines into a text window. The window outlives the
// device: freeing the device leaves the window open and unlinked, closing
// the window frees the device.
#include <QPointer>
#include <string>

#include "render/device.h"
#include "render/qt/text_window.h"

class TMemoFormDevice : public TDevice {
  ZELTO_ELEMENT(TMemoFormDevice)
 public:
  TMemoFormDevice();
  ~TMemoFormDevice() override;

  TStdtxtForm* GetForm() const { return form_.data(); }
  std::int32_t GetLeft() const;
  std::int32_t GetTop() const;
  std::int32_t GetWidth() const;
  std::int32_t GetHeight() const;
  std::string GetCaption() const;
  void SetLeft(std::int32_t v);
  void SetTop(std::int32_t v);
  void SetWidth(std::int32_t v);
  void SetHeight(std::int32_t v);
  void SetCaption(const std::string& caption);

  // The window the text window is placed beside when it opens; nil: the
  // active one.
  void SetOpener(QWidget* window) { opener_ = window; }

  TCanvas* GetHandle() override { return nullptr; }
  // Shown while a box waits for an answer, the window goes up once the box
  // has gone.
  void SetVisible(bool visible) override;
  void Clear() override;
  // Lets pending messages through; the window refuses to close meanwhile.
  void BeginDraw() override;
  void EndDraw() override;
  void Write(const std::string& text) override;
  void WriteLine(const std::string& text) override;
  void Spare() override {}
  void SetupPage() override {}
  // A renderer takes the device as its child: the window learns whether
  // anything writing here can be stopped.
  void InsertOwner(int index, TElement* owner) override;
  void AddOwner(TElement* owner) override;
  void RemoveOwner(TElement* owner) override;

 private:
  QPointer<TStdtxtForm> form_;
  QPointer<QWidget> opener_;
};
