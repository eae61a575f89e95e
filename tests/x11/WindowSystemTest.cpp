// SPDX-License-Identifier: GPL-3.0-or-later
// What the X server receives from the windows: the titles exactly as the program sets them,
// and "Stavio" as the window class the desktop groups the windows by.

#include "Help.h"
#include "Main.h"
#include "ModalScript.h"
#include "ProjetProperty.h"
#include "StavioApp.h"
#include "WindowParts.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

xcb_connection_t* Connection() {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// The raw bytes of a property of a window on the server.
QByteArray Property(WId window, const char* name) {
    xcb_connection_t* c = Connection();
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
    if (!atom)
        return {};
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c,
                               xcb_get_property(c, 0, static_cast<xcb_window_t>(window), atom->atom,
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, 4096),
                               nullptr);
    free(atom);
    if (!reply)
        return {};
    QByteArray value(static_cast<const char*>(xcb_get_property_value(reply)),
                     xcb_get_property_value_length(reply));
    free(reply);
    return value;
}

// The title the window manager shows, once the server has it.
QString ServerTitle(QWidget* window, const QString& expected) {
    QString title;
    (void)QTest::qWaitFor(
        [&] {
            title = QString::fromUtf8(Property(window->winId(), "_NET_WM_NAME"));
            return title == expected;
        },
        3000);
    return title;
}

class WindowSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(Connection(), nullptr) << "not on an X server";
        app_ = std::make_unique<StavioApp>(
            QFile::encodeName(dir_.filePath(QStringLiteral("example.stavio.Stavio")))
                .toStdString());
        app_->MainWindow().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&app_->MainWindow()));
        ASSERT_TRUE(
            QTest::qWaitFor([this] { return !PartsOf(app_->MainWindow()).FirstActivation; }, 5000));
    }
    void TearDown() override {
        ModalScript dismiss(2000);
        app_->MainWindow().close();
        app_.reset();
    }

    QTemporaryDir dir_;
    std::unique_ptr<StavioApp> app_;
};

TEST_F(WindowSystemTest, TheMainWindowHasItsTitleAndTheProgramsClass) {
    TForm1& form = app_->MainWindow();
    EXPECT_EQ(ServerTitle(&form, QStringLiteral("KELVO Stavio : New Project")).toStdString(),
              "KELVO Stavio : New Project");
    // WM_CLASS: the instance name, then the class, each ending in a zero byte.
    const QList<QByteArray> wmClass = Property(form.winId(), "WM_CLASS").split('\0');
    ASSERT_GE(wmClass.size(), 2);
    EXPECT_EQ(wmClass[1].toStdString(), "Stavio");
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("example.stavio.Stavio"));

    // A name holding Qt's modified mark shows as typed.
    ModalScript script;
    script.Then<TForm3>([](TForm3* properties) {
        PartsOf(properties).Edit1->setText(QStringLiteral("Mix [*] 2004"));
        PartsOf(properties).mxFlatButton1->click();
    });
    PartsOf(form).Property1->trigger();
    EXPECT_EQ(ServerTitle(&form, QStringLiteral("KELVO Stavio : Mix [*] 2004")).toStdString(),
              "KELVO Stavio : Mix [*] 2004");
}

TEST_F(WindowSystemTest, DialogsAndMessageBoxesHaveTheirTitlesAlone) {
    TForm1& form = app_->MainWindow();
    QStringList titles;
    {
        ModalScript about;
        about.Then<TForm2>([&](TForm2* box) {
            titles << ServerTitle(box, QStringLiteral("About KELVO \"Stavio\""));
            box->accept();
        });
        PartsOf(form).About1->trigger();
    }

    app_->State.CurrentProject->ProjectName = "Changed"; // modified: New Project asks first
    ModalScript newProject;
    newProject
        .Then<QMessageBox>([&](QMessageBox* box) {
            titles << ServerTitle(box, QStringLiteral("Confirmation"));
            ModalScript::Press(box, QStringLiteral("&Non"));
        })
        .Then<TForm3>([&](TForm3* properties) {
            titles << ServerTitle(properties, QStringLiteral("Project Properties"));
            properties->reject();
        });
    PartsOf(form).New2->trigger();
    EXPECT_EQ(titles.join(QLatin1Char('|')).toStdString(),
              "About KELVO \"Stavio\"|Confirmation|Project Properties");
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    const QByteArray homePath = home.path().toLocal8Bit();
    setenv("HOME", homePath.constData(), 1);
    setenv("XDG_CONFIG_HOME", (homePath + "/.config").constData(), 1);
    setenv("LC_ALL", "C", 1);
    setenv("LANG", "C", 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication application(argc, argv);
    SetApplicationIdentity(); // as the program does
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
