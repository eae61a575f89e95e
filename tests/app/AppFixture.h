// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The running program in a temporary folder (the settings file lies beside the executable
// path given), with a music folder to browse: ALBUM holds three MP3 files and a text file.

#include "AppTestSupport.h"
#include "EditFolder.h"
#include "InfoBox.h"
#include "ListOperations.h"
#include "ListTreeModel.h"
#include "ListTreeView.h"
#include "Main.h"
#include "ModalScript.h"
#include "StavioApp.h"
#include "TLsDirTree21.h"
#include "TLsFilelistView28.h"
#include "WindowParts.h"
#include "text.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        root_ = QDir(dir_.path()).canonicalPath();
        album_ = MakeFolder(QStringLiteral("music/Album"));
        for (const char* name : {"one.mp3", "two.mp3", "three.mp3", "notes.txt"})
            MakeFile(album_ + QLatin1Char('/') + QString::fromLatin1(name));
        other_ = MakeFolder(QStringLiteral("music/Other"));
        MakeFile(other_ + QStringLiteral("/one.mp3"));
        MakeFile(other_ + QStringLiteral("/four.mp3"));
    }

    void TearDown() override {
        ModalScript::CloseStray();
        app_.reset();
    }

    std::string ExecutablePath() const {
        return QFile::encodeName(root_ + QStringLiteral("/stavio")).toStdString();
    }

    QString MakeFolder(const QString& relative) {
        const QString path = root_ + QLatin1Char('/') + relative;
        QDir().mkpath(path);
        return path;
    }
    static void MakeFile(const QString& path) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("ID3");
    }

    // Creates the windows, shows the main window and waits for its first activation.
    void Start() {
        app_ = std::make_unique<StavioApp>(ExecutablePath());
        Form().show();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !Parts().FirstActivation; }, 5000));
    }

    TForm1& Form() { return app_->MainWindow(); }
    MainWindowParts Parts() { return PartsOf(Form()); }
    stavio::ProgramState& State() { return app_->State; }
    stavio::ListTree& Copy() { return app_->State.CopyTree; }
    stavio::ListTree& Delete() { return app_->State.DeleteTree; }
    stavio::LinkList& CopyLinks() { return app_->State.CurrentProject->CopyLinks; }
    stavio::LinkList& DeleteLinks() { return app_->State.CurrentProject->DeleteLinks; }

    // Opens folder in the explorer and waits until the file list shows it.
    void Browse(const QString& folder) {
        Parts().LsDirTree211->OpenPath(folder);
        ASSERT_EQ(Parts().LsDirTree211->SelectedPath(), folder);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return Parts().LsFilelistView281->Directory() == folder; }, 2000));
        ASSERT_EQ(Parts().LsFilelistView281->Directory(), folder);
    }

    // Selects the first drive of the explorer's directory tree (level 1).
    void SelectDrive() {
        TLsDirTree21* tree = Parts().LsDirTree211;
        QTreeWidgetItem* computer = tree->topLevelItem(0);
        ASSERT_NE(computer, nullptr);
        ASSERT_GT(computer->childCount(), 0);
        tree->setCurrentItem(computer->child(0));
        ASSERT_EQ(tree->SelectedLevel(), 1);
    }

    // The child of parent bearing name, or nullptr.
    static stavio::ListNode* Child(stavio::ListNode* parent, const char* name) {
        return parent ? parent->ChildNamed(name) : nullptr;
    }
    static QString Name(const stavio::ListNode* node) {
        return node ? QString::fromStdString(node->Text()) : QStringLiteral("(none)");
    }

    // Fills the folder name dialog with text and presses its OK button.
    static ModalScript::Answer EnterFolderName(const QString& text) {
        return [text](QWidget* modal) {
            auto* dialog = qobject_cast<TOKBottomDlg4*>(modal);
            ASSERT_NE(dialog, nullptr) << "expected the folder name dialog";
            PartsOf(dialog).mxFlatEdit1->setText(text);
            PartsOf(dialog).mxFlatButton1->click();
        };
    }

    QTemporaryDir dir_;
    QString root_, album_, other_;
    std::unique_ptr<StavioApp> app_;
};
