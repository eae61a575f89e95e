// SPDX-License-Identifier: GPL-3.0-or-later
// The About box and the two web links of the Help menu.

#include "Help.h"
#include "WorkflowFixture.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QUrlQuery>

namespace {

// Receives what the program hands to the desktop instead of a browser or mail program.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void Open(const QUrl& url) { urls << url; }
};

class AboutTest : public WorkflowTest {
protected:
    void SetUp() override {
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher_, "Open");
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher_, "Open");
    }
    void TearDown() override {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
        WorkflowTest::TearDown();
    }
    QStringList AboutTextsShown() {
        QStringList texts;
        ModalScript script;
        script.Then<TForm2>([&](TForm2* about) {
            EXPECT_FALSE(PartsOf(about).Image1->pixmap().isNull());
            EXPECT_FALSE(PartsOf(about).Image2->pixmap().isNull()); // the program's icon resource
            texts << about->windowTitle() << PartsOf(about).StaticText1->text()
                  << PartsOf(about).StaticText2->text() << PartsOf(about).StaticText3->text();
            PartsOf(about).mxFlatButton1->click();
        });
        Form().About1Click();
        EXPECT_TRUE(script.Finished());
        return texts;
    }
    UrlCatcher catcher_;
};

TEST_F(AboutTest, TheBoxShowsTheCurrentLanguageEachTime) {
    Start();
    State().CurrentLanguage = stavio::Language::English;
    EXPECT_EQ(
        AboutTextsShown(),
        (QStringList{QStringLiteral("About KELVO \"Stavio\""), QStringLiteral("KELVO \"Stavio\""),
                     QStringLiteral("Version 1.0"), QStringLiteral("stavio.example")}));
    Form().French1Click();
    EXPECT_EQ(AboutTextsShown().first(), QStringLiteral("A propos de KELVO \"Stavio\""));
    State().CurrentLanguage = stavio::Language::Spanish;
    EXPECT_EQ(AboutTextsShown().at(2), QStringLiteral("Versión 1.0"));
}

TEST_F(AboutTest, TheHomePageIsTheMakersWebHost) {
    Start();
    Form().HomePage1Click();
    ASSERT_EQ(catcher_.urls.size(), 1);
    const QUrl url = catcher_.urls[0];
    EXPECT_EQ(url.scheme(), QStringLiteral("http"));
    EXPECT_EQ(url.host(), QStringLiteral("stavio.example"));
    EXPECT_EQ(url.path(), QStringLiteral("/"));
    // The About box shows the same host.
    EXPECT_EQ(AboutTextsShown().at(3), url.host());
}

TEST_F(AboutTest, TheSupportMailCarriesTheSubjectInEveryLanguage) {
    Start();
    for (auto language : {stavio::Language::English, stavio::Language::Italian}) {
        State().CurrentLanguage = language;
        Form().SendEmailToSupport1Click();
    }
    ASSERT_EQ(catcher_.urls.size(), 2);
    EXPECT_EQ(catcher_.urls[0], catcher_.urls[1]);
    const QUrl url = catcher_.urls[0];
    EXPECT_EQ(url.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(url.path(), QStringLiteral("support@stavio.example"));
    const QUrlQuery query(url);
    const auto items = query.queryItems(QUrl::FullyDecoded);
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0].first, QStringLiteral("subject"));
    EXPECT_EQ(items[0].second, QStringLiteral("Subject : KELVO Support Request"));
    EXPECT_EQ(items[1].first, QStringLiteral("body"));
    EXPECT_TRUE(items[1].second.isEmpty());
}

} // namespace

#include "AboutTest.moc"
