#pragma once
// The position, size and caption of a tool's window, published as the
// tool's own properties so that scripts can place the window.
#include <QString>
#include <QWidget>
#include <string>

class TFormPlacement {
 public:
  virtual ~TFormPlacement() = default;

  virtual int GetLeft() { return PlacedForm()->x(); }
  virtual int GetTop() { return PlacedForm()->y(); }
  virtual int GetWidth() { return PlacedForm()->width(); }
  virtual int GetHeight() { return PlacedForm()->height(); }
  virtual void SetLeft(int value) { PlacedForm()->move(value, PlacedForm()->y()); }
  virtual void SetTop(int value) { PlacedForm()->move(PlacedForm()->x(), value); }
  virtual void SetWidth(int value) { PlacedForm()->resize(value, PlacedForm()->height()); }
  virtual void SetHeight(int value) { PlacedForm()->resize(PlacedForm()->width(), value); }
  virtual std::string GetCaption() { return PlacedForm()->windowTitle().toStdString(); }
  virtual void SetCaption(const std::string& value) {
    PlacedForm()->setWindowTitle(QString::fromUtf8(value.data(), static_cast<int>(value.size())));
  }

  // Declares the properties above for tool class C.
  template <class C, class Builder>
  static void Declare(Builder& p) {
    p.Integer("Left", &C::GetLeft, &C::SetLeft);
    p.Integer("Top", &C::GetTop, &C::SetTop);
    p.Integer("Width", &C::GetWidth, &C::SetWidth);
    p.Integer("Height", &C::GetHeight, &C::SetHeight);
    p.String("Caption", &C::GetCaption, &C::SetCaption);
  }

 protected:
  // The tool's window, created on first use.
  virtual QWidget* PlacedForm() = 0;
};
