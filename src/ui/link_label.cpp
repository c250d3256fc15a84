#include "ui/link_label.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QRegularExpression>
#include <utility>

namespace pindot {

const QColor LinkLabel::kDefaultLinkColour = QColor(0, 0, 255);
const QColor LinkLabel::kDefaultHoverColour = QColor(255, 0, 0);
const QColor LinkLabel::kDefaultVisitedColour = QColor(5, 34, 143);

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) {
  Prepare();
}

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  Prepare();
}

void LinkLabel::Prepare() {
  // The label's own font (in a dialog: the dialog font), underlined.
  QFont underlined = font();
  underlined.setUnderline(true);
  setFont(underlined);
  setCursor(Qt::PointingHandCursor);
  // Movement is followed even with no button down, so the hover state is always current.
  setMouseTracking(true);
  setTextFormat(Qt::PlainText);
  urlOpener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
  ApplyColour();
}

void LinkLabel::SetLinkColour(const QColor& colour) {
  linkColour_ = colour;
  ApplyColour();
}

void LinkLabel::SetHoverColour(const QColor& colour) {
  hoverColour_ = colour;
  ApplyColour();
}

void LinkLabel::SetVisitedColour(const QColor& colour) {
  visitedColour_ = colour;
  ApplyColour();
}

void LinkLabel::EnableTooltip(bool enable) {
  tooltipEnabled_ = enable;
  if (enable) window()->setAttribute(Qt::WA_AlwaysShowToolTips);
}

void LinkLabel::SetTooltipText(const QString& text) {
  if (tooltipEnabled_) setToolTip(text);
}

QColor LinkLabel::TextColour() const {
  if (visited_) return visitedColour_;
  return hovering_ ? hoverColour_ : linkColour_;
}

QUrl LinkLabel::UrlForTarget(const QString& target) {
  const QString trimmed = target.trimmed();
  // A bare address: something@host, no scheme in front.
  static const QRegularExpression bareMail(QStringLiteral("^[^\\s:/@]+@[^\\s:/@]+$"));
  if (bareMail.match(trimmed).hasMatch()) return QUrl(QStringLiteral("mailto:") + trimmed);
  return QUrl::fromUserInput(trimmed);
}

// Hovering and clicking, after the label's own handling: a click opens the link when the left
// button goes down and comes up on it.
bool LinkLabel::event(QEvent* event) {
  const bool handled = QLabel::event(event);
  const auto* mouse = dynamic_cast<const QMouseEvent*>(event);
  // rect() holds 0..width-1, so the right and bottom edges already count as outside.
  const bool onLabel = mouse != nullptr && rect().contains(mouse->position().toPoint());
  switch (event->type()) {
    case QEvent::Enter:
      SetHovering(true);
      break;
    case QEvent::Leave:
      SetHovering(false);
      break;
    case QEvent::MouseMove:
      SetHovering(onLabel);
      break;
    case QEvent::MouseButtonPress:
      if (mouse->button() == Qt::LeftButton) pressed_ = true;
      break;
    case QEvent::MouseButtonRelease: {
      const bool wasPressed = std::exchange(pressed_, false);
      if (mouse->button() == Qt::LeftButton && wasPressed && onLabel) Open();
      break;
    }
    default:
      break;
  }
  return handled;
}

void LinkLabel::Open() {
  const QUrl url = UrlForTarget(target_);
  if (urlOpener_) urlOpener_(url);
  // Visited whatever the desktop said: the user did follow the link.
  visited_ = true;
  ApplyColour();
}

void LinkLabel::SetHovering(bool hovering) {
  if (hovering_ == hovering) return;
  hovering_ = hovering;
  ApplyColour();
}

void LinkLabel::ApplyColour() {
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, TextColour());
  setPalette(colours);
  update();
}

}  // namespace pindot
