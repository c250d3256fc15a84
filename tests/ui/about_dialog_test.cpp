// The About box and its link labels: texts, colours through hover and click, the opened targets.
#include <QApplication>
#include <QTest>
#include <QUrl>
#include <memory>

#include "text/string_table.h"
#include "ui/about_dialog.h"
#include "ui/link_label.h"

using pindot::AboutDialog;
using pindot::LinkLabel;

namespace {

QColor Shown(const LinkLabel& label) {
  return label.palette().color(QPalette::WindowText);
}

QPoint Middle(const QWidget& widget) {
  return widget.rect().center();
}

// A move of the real pointer: the offscreen platform turns it into enter and leave as a desktop
// would.
void MoveTo(QWidget& widget, QPoint where) {
  QTest::mouseMove(&widget, where);
}

void MoveAway(QWidget& window) {
  QTest::mouseMove(&window, QPoint(1, 1));
}

}  // namespace

class AboutDialogTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<AboutDialog> about_;
  QList<QUrl> opened_;

  AboutDialog& OpenAbout() {
    about_ = std::make_unique<AboutDialog>(pindot::LanguageFromEnvironment());
    for (LinkLabel* link : {about_->WebsiteLink(), about_->MailLink()}) {
      link->SetUrlOpener([this](const QUrl& url) {
        opened_ << url;
        return false;  // the desktop could not open it: the label turns visited all the same
      });
    }
    about_->show();
    if (!QTest::qWaitForWindowExposed(about_.get())) qFatal("the About box was never shown");
    MoveAway(*about_);
    return *about_;
  }

 private slots:
  void cleanup() {
    about_.reset();
    opened_.clear();
  }

  void textsComeFromTheTableButCaptionAndOkDoNot() {
    AboutDialog& about = OpenAbout();
    const bool chinese = pindot::LanguageFromEnvironment() == pindot::Language::kChinese;
    QCOMPARE(about.windowTitle(), QStringLiteral("关于 Skarra"));
    QCOMPARE(about.OkButton()->text(), QStringLiteral("确定"));
    QVERIFY(about.OkButton()->isDefault());
    QCOMPARE(about.ProductLabel()->text(), QStringLiteral("Pindot 1.0"));
    QCOMPARE(about.WebsiteLink()->text(),
             chinese ? QStringLiteral("访问我们的网站") : QStringLiteral("Visit out website"));
    QCOMPARE(about.MailLink()->text(),
             chinese ? QStringLiteral("和我们联系") : QStringLiteral("Contact with us"));
    QVERIFY(!about.CopyrightLabel()->text().isEmpty());
    QVERIFY(about.CopyrightLabel()->text().contains(chinese ? QStringLiteral("版权")
                                                            : QStringLiteral("Copyright")));
    // Each tooltip names its target.
    QCOMPARE(about.WebsiteLink()->toolTip(), QStringLiteral("https://pindot.dev"));
    QCOMPARE(about.MailLink()->toolTip(), QStringLiteral("hello@pindot.dev"));
    for (QLabel* label :
         {static_cast<QLabel*>(about.ProductLabel()), about.CopyrightLabel(),
          static_cast<QLabel*>(about.WebsiteLink()), static_cast<QLabel*>(about.MailLink())}) {
      QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->text()));
      QVERIFY2(about.rect().contains(label->geometry()), qPrintable(label->text()));
    }
  }

  void linksAreRedTurnBlueWhenHoveredAndDarkGreenOnceClicked() {
    AboutDialog& about = OpenAbout();
    struct Case {
      LinkLabel* link;
      QUrl expectedUrl;
    };
    const Case cases[] = {
        {about.WebsiteLink(), QUrl(QStringLiteral("https://pindot.dev"))},
        // A bare e-mail address goes to the mail program.
        {about.MailLink(), QUrl(QStringLiteral("mailto:hello@pindot.dev"))},
    };
    for (const Case& test : cases) {
      LinkLabel& link = *test.link;
      QVERIFY(link.font().underline());
      QCOMPARE(link.cursor().shape(), Qt::PointingHandCursor);
      QCOMPARE(Shown(link), QColor(255, 0, 0));

      MoveTo(link, Middle(link));
      QVERIFY(link.IsHovering());
      QCOMPARE(Shown(link), QColor(0, 0, 255));
      // The right and bottom edges lie outside the label.
      MoveTo(link, QPoint(link.width(), link.height() / 2));
      QCOMPARE(Shown(link), QColor(255, 0, 0));
      MoveTo(link, Middle(link));
      MoveTo(link, QPoint(link.width() / 2, link.height()));
      QVERIFY(!link.IsHovering());

      MoveTo(link, Middle(link));
      QTest::mouseClick(&link, Qt::LeftButton, {}, Middle(link));
      QCOMPARE(opened_.size() > 0 ? opened_.back() : QUrl(), test.expectedUrl);
      // Visited beats hovered, and stays after the pointer leaves.
      QCOMPARE(Shown(link), QColor(0, 13, 0));
      MoveAway(about);
      QVERIFY(!link.IsHovering());
      QCOMPARE(Shown(link), QColor(0, 13, 0));
    }
    QCOMPARE(opened_.size(), 2);
  }

  void aSecondOpeningShowsTheLinksUnvisited() {
    AboutDialog& first = OpenAbout();
    QTest::mouseClick(first.WebsiteLink(), Qt::LeftButton, {}, Middle(*first.WebsiteLink()));
    QCOMPARE(Shown(*first.WebsiteLink()), QColor(0, 13, 0));
    AboutDialog& second = OpenAbout();
    QCOMPARE(Shown(*second.WebsiteLink()), QColor(255, 0, 0));
    QVERIFY(!second.WebsiteLink()->IsVisited());
  }

  void okEndsTheBox() {
    AboutDialog& about = OpenAbout();
    QTest::mouseClick(about.OkButton(), Qt::LeftButton);
    QVERIFY(!about.isVisible());
    QCOMPARE(about.result(), int(QDialog::Accepted));
  }

  void aLabelWithoutColoursOfItsOwnIsBlueRedAndNavy() {
    QWidget window;
    window.resize(200, 60);
    auto* link = new LinkLabel(QStringLiteral("somewhere"), &window);
    link->setGeometry(10, 10, 120, 20);
    link->SetTarget(QStringLiteral("www.example.com"));
    QList<QUrl> opened;
    link->SetUrlOpener([&](const QUrl& url) {
      opened << url;
      return true;
    });
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    MoveAway(window);

    QCOMPARE(Shown(*link), QColor(0, 0, 255));
    MoveTo(*link, Middle(*link));
    QCOMPARE(Shown(*link), QColor(255, 0, 0));
    // A press that is released outside the label is no click.
    QTest::mousePress(link, Qt::LeftButton, {}, Middle(*link));
    QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(link->width() + 5, 5));
    QVERIFY(opened.isEmpty());
    QTest::mouseClick(link, Qt::LeftButton, {}, Middle(*link));
    QCOMPARE(opened, QList<QUrl>{QUrl(QStringLiteral("http://www.example.com"))});
    QCOMPARE(Shown(*link), QColor(5, 34, 143));

    // The tooltip follows only once it is enabled.
    link->SetTooltipText(QStringLiteral("first"));
    QVERIFY(link->toolTip().isEmpty());
    link->EnableTooltip(true);
    link->SetTooltipText(QStringLiteral("second"));
    QCOMPARE(link->toolTip(), QStringLiteral("second"));
  }

  void targetsBecomeUrls_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("url");
    QTest::newRow("web address") << "https://pindot.dev"
                                 << "https://pindot.dev";
    QTest::newRow("host only") << "www.example.com"
                               << "http://www.example.com";
    QTest::newRow("bare e-mail") << "hello@pindot.dev"
                                 << "mailto:hello@pindot.dev";
    QTest::newRow("e-mail with scheme") << "mailto:a@b.c"
                                        << "mailto:a@b.c";
    QTest::newRow("blanks around") << " hello@pindot.dev "
                                   << "mailto:hello@pindot.dev";
    QTest::newRow("user in a web address") << "https://me@pindot.dev/x"
                                           << "https://me@pindot.dev/x";
  }
  void targetsBecomeUrls() {
    QFETCH(QString, target);
    QFETCH(QString, url);
    QCOMPARE(LinkLabel::UrlForTarget(target), QUrl(url));
  }
};

QTEST_MAIN(AboutDialogTest)
#include "about_dialog_test.moc"
