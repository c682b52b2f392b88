// A button that looks and acts like a hyperlink: underlined text in link colours over the
// parent's background, no border, a hand cursor; a click opens its target with the desktop.
#pragma once

#include "uictl/frames/buttons/button.h"

#include <string>

class CUxURLLinkButton : public CUxButton {
  Q_OBJECT
  KELVARA_DECLARE_RUNTIME_CLASS(CUxURLLinkButton)

 public:
  explicit CUxURLLinkButton(QWidget* parent = nullptr);

  // Null empties the target; an empty target opens the button's own text.
  void SetURL(const wchar_t* url);
  // A button with an image sizes as any button. Otherwise the window fits its underlined text
  // with 3 pixels on every side, keeping its centre along each axis asked for, else its corner.
  virtual platform::Size SizeToContent(bool verticalCentre = false, bool horizontalCentre = false);

  void OnDrawFocusRect(platform::Dc* dc, const platform::Rect& rect) override;
  void OnDraw(platform::Dc* dc, const platform::Rect& rect, unsigned state) override;
  QSize sizeHint() const override;

  std::wstring m_strURL;
  std::wstring m_strPrefix;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  // The underlined text with its margin.
  platform::Size textSize() const;
  void OnClicked();
};
