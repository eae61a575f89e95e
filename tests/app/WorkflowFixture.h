// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A running program in a temporary folder: the executable's path lies there, so the settings
// file, the default target and the project files stay inside it.

#include "AppTestSupport.h"
#include "Main.h"
#include "ModalScript.h"
#include "ProgessBar.h"
#include "ProjectFile.h"
#include "Settings.h"
#include "StavioApp.h"
#include "WindowParts.h"
#include "text.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

class WorkflowTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (app_ == nullptr)
            return;
        if (app_->MainWindow().isVisible()) {
            ModalScript dismiss(2000); // answers any last question with its escape button
            app_->MainWindow().close();
        }
        app_.reset();
    }

    std::string Path(const std::string& name) const {
        return QFile::encodeName(dir_.filePath(QString::fromStdString(name))).toStdString();
    }
    std::string ExecutablePath() const { return Path("stavio"); }
    std::string SettingsPath() const { return stavio::SettingsFileName(ExecutablePath()); }
    std::string Folder() const { return Path("") + "/"; } // with its trailing "/"

    void WriteSettingsFile(const std::string& projectFileName,
                           stavio::Language language = stavio::Language::English) {
        stavio::SettingsValues values;
        values.language = language;
        values.projectFileName = projectFileName;
        values.lastExplorerDirectory = Folder();
        stavio::WriteSettings(ExecutablePath(), values);
    }

    // Creates the windows and waits until the first activation has run.
    void Start() {
        app_ = std::make_unique<StavioApp>(ExecutablePath());
        app_->MainWindow().show();
        app_->MainWindow().activateWindow();
        ASSERT_TRUE(
            QTest::qWaitFor([this] { return !PartsOf(app_->MainWindow()).FirstActivation; }, 5000));
    }

    // Answers a file dialog with path, as its Open or Save button does.
    static std::function<void(QFileDialog*)> Choose(const std::string& path) {
        return [path](QFileDialog* dialog) {
            dialog->selectFile(QString::fromStdString(path));
            static_cast<QDialog*>(dialog)->accept();
        };
    }

    StavioApp& App() { return *app_; }
    TForm1& Form() { return app_->MainWindow(); }
    MainWindowParts Parts() { return PartsOf(Form()); }
    stavio::ProgramState& State() { return app_->State; }
    stavio::TProjectClass& Project() { return *app_->State.CurrentProject; }
    // The title as the window system gets it.
    QString Title() { return app_->MainWindow().windowHandle()->title(); }

    // A media file below folderPath ("ROCK" or "ROCK/LIVE") of a list, linked to source.
    static const stavio::ListNode* AddEntry(stavio::ListTree& tree, stavio::LinkList& links,
                                            const std::string& folderPath, const std::string& name,
                                            const std::string& source) {
        stavio::ListNode* parent = tree.Root();
        std::istringstream folders(folderPath);
        std::string folder;
        while (std::getline(folders, folder, '/')) {
            stavio::ListNode* child = parent->ChildNamed(folder);
            parent = child ? child : tree.AddChild(parent, folder, stavio::NodeKind::Folder);
        }
        const stavio::ListNode* node = tree.AddChild(parent, name, stavio::NodeKind::MediaFile);
        links.push_back(std::make_shared<stavio::TNodeFileLink>(node, source));
        return node;
    }
    const stavio::ListNode* AddCopy(const std::string& folderPath, const std::string& name,
                                    const std::string& source) {
        return AddEntry(State().CopyTree, Project().CopyLinks, folderPath, name, source);
    }
    const stavio::ListNode* AddDelete(const std::string& folderPath, const std::string& name) {
        return AddEntry(State().DeleteTree, Project().DeleteLinks, folderPath, name,
                        "/nowhere/" + name);
    }

    // A project file holding one copy entry, written without the windows.
    std::string WriteProjectFile(const std::string& fileName, const std::string& projectName) {
        stavio::ProgramState other(Folder());
        other.CurrentProject->ProjectName = projectName;
        other.CopyTree.Select(other.CopyTree.Root());
        const std::string source = WriteFile("stored.mp3", "stored");
        AddEntry(other.CopyTree, other.CurrentProject->CopyLinks, "STORED", "STORED.MP3", source);
        stavio::NullProgress progress;
        const std::string path = Path(fileName);
        stavio::SaveProjectFile(other, path, progress);
        return path;
    }

    std::string WriteFile(const std::string& name, const std::string& bytes) {
        const std::string path = Path(name);
        QDir().mkpath(QFileInfo(QFile::decodeName(path.c_str())).absolutePath());
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    static bool Exists(const std::string& path) {
        return QFileInfo::exists(QFile::decodeName(path.c_str()));
    }

    QTemporaryDir dir_;
    std::unique_ptr<StavioApp> app_;
};
