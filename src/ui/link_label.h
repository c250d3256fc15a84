// A text label that behaves like a hyperlink: underlined, hand cursor, state colours, opens its
// target.
#pragma once

#include <QColor>
#include <QLabel>
#include <QString>
#include <QUrl>
#include <functional>

namespace pindot {

// Normal, hovered and visited each have their own text colour; visited wins over hovered and
// lasts as long as the label. A click hands the target to the desktop (a web address to the
// browser, a bare e-mail address as "mailto:" to the mail program) and marks the label visited
// whatever the desktop answers.
class LinkLabel : public QLabel {
  Q_OBJECT

 public:
  using UrlOpener = std::function<bool(const QUrl&)>;

  static const QColor kDefaultLinkColour;     // RGB(0, 0, 255)
  static const QColor kDefaultHoverColour;    // RGB(255, 0, 0)
  static const QColor kDefaultVisitedColour;  // RGB(5, 34, 143)

  explicit LinkLabel(QWidget* parent = nullptr);
  LinkLabel(const QString& text, QWidget* parent = nullptr);

  void SetTarget(const QString& target) { target_ = target; }
  void SetLinkColour(const QColor& colour);
  void SetHoverColour(const QColor& colour);
  void SetVisitedColour(const QColor& colour);
  // With tooltips enabled, the tip shows even while the label's window is not the active one.
  void EnableTooltip(bool enable);
  // Does nothing until EnableTooltip(true).
  void SetTooltipText(const QString& text);

  // The colour the text is drawn in now, by the rule visited > hovering > link.
  QColor TextColour() const;

  // Replaces QDesktopServices::openUrl, e.g. for tests.
  void SetUrlOpener(UrlOpener opener) { urlOpener_ = std::move(opener); }

  // "www.example.com" -> http://www.example.com, "someone@example.com" -> mailto:someone@...
  static QUrl UrlForTarget(const QString& target);

 protected:
  bool event(QEvent* event) override;

 private:
  void Prepare();
  void SetHovering(bool hovering);
  void ApplyColour();
  void Open();

  bool tooltipEnabled_ = false;
  bool hovering_ = false;
  bool visited_ = false;
  bool pressed_ = false;
  QString target_;
  QColor hoverColour_ = kDefaultHoverColour;
  QColor linkColour_ = kDefaultLinkColour;
  QColor visitedColour_ = kDefaultVisitedColour;
  UrlOpener urlOpener_;
};

}  // namespace pindot
