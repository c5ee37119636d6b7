#include "ui/classic_look.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QPainter>
#include <QProxyStyle>
#include <QString>
#include <QStringList>
#include <QStyleOptionGroupBox>
#include <QStyleOptionHeader>
#include <QWidget>

namespace quellar {
namespace {

// Where the title's gap in the top line begins, and the blank on either side of
// the title inside it.
constexpr int kTitleGapLeft = 6;
constexpr int kTitlePadding = 2;

// The application's style, except that a group box's frame begins half a text
// line below its top with the title sitting on the line, where the platform's
// style may put the title above the frame.
class ClassicGroupBoxStyle : public QProxyStyle {
 public:
  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                       const QWidget* widget) const override {
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || box == nullptr)
      return QProxyStyle::subControlRect(control, option, part, widget);
    const int lineHeight = option->fontMetrics.height();
    switch (part) {
      case SC_GroupBoxLabel:
        if (box->text.isEmpty())
          return QRect();
        return QRect(kTitleGapLeft, 0,
                     option->fontMetrics.horizontalAdvance(box->text) + 2 * kTitlePadding,
                     lineHeight);
      case SC_GroupBoxFrame:
        return option->rect.adjusted(0, lineHeight / 2, 0, 0);
      case SC_GroupBoxContents:
        return option->rect.adjusted(2, lineHeight, -2, -2);
      default:
        return QProxyStyle::subControlRect(control, option, part, widget);
    }
  }

  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                          QPainter* painter, const QWidget* widget) const override {
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || box == nullptr || (box->subControls & SC_GroupBoxCheckBox)) {
      QProxyStyle::drawComplexControl(control, option, painter, widget);
      return;
    }
    const QRect title = subControlRect(control, option, SC_GroupBoxLabel, widget);
    const QRect frame = subControlRect(control, option, SC_GroupBoxFrame, widget);
    painter->save();
    QRegion aroundTitle(option->rect);
    aroundTitle -= title;
    painter->setClipRegion(aroundTitle);
    painter->setRenderHint(QPainter::Antialiasing, true);
    // Light edge inside a darker outline, as the frames of the other controls.
    painter->setBrush(Qt::NoBrush);
    painter->setPen(option->palette.color(QPalette::Light));
    painter->drawRoundedRect(QRectF(frame).adjusted(1.5, 1.5, -0.5, -0.5), 2, 2);
    painter->setPen(option->palette.color(QPalette::Window).darker(140));
    painter->drawRoundedRect(QRectF(frame).adjusted(0.5, 0.5, -1.5, -1.5), 2, 2);
    painter->restore();
    proxy()->drawItemText(painter, title, Qt::AlignCenter | Qt::TextShowMnemonic, option->palette,
                          (option->state & State_Enabled) != 0, box->text, QPalette::WindowText);
  }
};

// A header that measures its captions in its own font. QHeaderView measures them
// in bold, in case a section is ever highlighted, and loading a bold face only for
// that was a tenth of the main window's start-up; the table highlights no section,
// and the classic font is as high in bold as in regular.
class PlainHeader : public QHeaderView {
 public:
  using QHeaderView::QHeaderView;

 protected:
  QSize sectionSizeFromContents(int logicalIndex) const override {
    QStyleOptionHeader option;
    initStyleOptionForIndex(&option, logicalIndex);
    option.fontMetrics = fontMetrics();
    return style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), this);
  }
};

// The faces the windows were laid out for, best first.
QStringList ClassicFamilies() {
#ifdef _WIN32
  // The classic dialog face, its TrueType successor, then faces every Windows
  // has with Cyrillic, and last Arial's metric twin, which Wine's own fonts
  // include.
  return {QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
          QStringLiteral("Tahoma"), QStringLiteral("Arial"), QStringLiteral("Liberation Sans")};
#else
  // fontconfig gives Arial's metric twin for "Liberation Sans" when only Arial is
  // there, and the nearest sans face after that.
  return {QStringLiteral("Liberation Sans"), QStringLiteral("Arial")};
#endif
}

// The windows' pixel size, in the first of families that the platform has.
QFont ClassicFont(const QStringList& families) {
  QFont font;
  font.setFamilies(families);
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  return font;
}

// The families as asked for, unless the face they really resolve to is none of
// them: then the first of them that is installed, alone. A platform that finds
// none of a list's families falls back to a face of its own choosing, and Wine's
// choice was a mathematical face whose edit fields drew no Latin letters or
// digits at all.
QStringList FamiliesThatResolve(const QStringList& asked) {
  const QString resolved = QFontInfo(ClassicFont(asked)).family();
  if (resolved.isEmpty() || asked.contains(resolved, Qt::CaseInsensitive))
    return asked;
  for (const QString& family : asked) {
    if (QFontDatabase::hasFamily(family))
      return {family};
  }
  return asked;
}

}  // namespace

QHeaderView* NewPlainHeader(QWidget* parent) {
  auto* header = new PlainHeader(Qt::Horizontal, parent);
  // As the header a tree view makes for itself.
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return header;
}

QFont ClassicWindowFont() {
  // Resolved once: every window of the run gets the same face.
  static const QStringList families = FamiliesThatResolve(ClassicFamilies());
  return ClassicFont(families);
}

QGroupBox* NewClassicGroupBox(const QString& title, QWidget* parent) {
  // A widget's style reaches none of its children, so each box gets it. One style
  // a window, owned by the window, which outlives its boxes.
  QWidget* window = parent->window();
  auto* style = window->findChild<ClassicGroupBoxStyle*>(QString(), Qt::FindDirectChildrenOnly);
  if (style == nullptr) {
    style = new ClassicGroupBoxStyle;
    style->setParent(window);
  }
  auto* box = new QGroupBox(parent);
  // The style comes before the title, so that no other style measures it first.
  box->setStyle(style);
  box->setTitle(title);
  return box;
}

}  // namespace quellar
