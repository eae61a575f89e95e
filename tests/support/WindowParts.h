// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one way the tests reach the controls a window keeps to itself: PartsOf(window) copies
// the window's control pointers, and the state the tests read, as they are at the call.

#include "ConversionDlg.h"
#include "EditFolder.h"
#include "Help.h"
#include "InfoBox.h"
#include "Main.h"
#include "MakeScript.h"
#include "ProgessBar.h"
#include "ProjetProperty.h"

template <class Window> struct WindowParts;

template <class Window> WindowParts<Window> PartsOf(Window& window) {
    return WindowParts<Window>(window);
}
template <class Window> WindowParts<Window> PartsOf(Window* window) {
    return WindowParts<Window>(*window);
}

template <> struct WindowParts<TForm1> {
    explicit WindowParts(TForm1& w) : window(w) {}
    TForm1& window;
    QString LastExplorerDirectory = window.LastExplorerDirectory;
    bool FirstActivation = window.FirstActivation;
    int FileListViewStyle = window.FileListViewStyle;
    TLsDirTree21* LsDirTree211 = window.LsDirTree211;
    TLsFilelistView28* LsFilelistView281 = window.LsFilelistView281;
    ListTreeModel* CopyModel = window.CopyModel;
    ListTreeModel* DeleteModel = window.DeleteModel;
    ListTreeView* TreeView1 = window.TreeView1;
    ListTreeView* TreeView2 = window.TreeView2;
    QTreeView* TreeView3 = window.TreeView3;
    QWidget* PlayerImagePane = window.PlayerImagePane;
    QLabel* ExplorerHeader = window.ExplorerHeader;
    QLabel* CopyListHeader = window.CopyListHeader;
    QLabel* DeleteListHeader = window.DeleteListHeader;
    QLabel* PlayerImageHeader = window.PlayerImageHeader;
    QToolButton* SpeedButton10 = window.SpeedButton10;
    QToolButton* SpeedButton8 = window.SpeedButton8;
    QToolButton* SpeedButton9 = window.SpeedButton9;
    QToolButton* SpeedButton1 = window.SpeedButton1;
    QToolButton* SpeedButton6 = window.SpeedButton6;
    QToolButton* SpeedButton7 = window.SpeedButton7;
    QToolButton* SpeedButton4 = window.SpeedButton4;
    QToolButton* SpeedButton11 = window.SpeedButton11;
    QToolButton* SpeedButton12 = window.SpeedButton12;
    QToolButton* SpeedButton5 = window.SpeedButton5;
    QToolButton* SpeedButton13 = window.SpeedButton13;
    QToolButton* SpeedButton14 = window.SpeedButton14;
    QToolButton* SpeedButton19 = window.SpeedButton19;
    QToolButton* SpeedButton15 = window.SpeedButton15;
    QToolButton* SpeedButton20 = window.SpeedButton20;
    QMenu* File1 = window.File1;
    QAction* New2 = window.New2;
    QAction* Property1 = window.Property1;
    QAction* Open1 = window.Open1;
    QAction* Save1 = window.Save1;
    QAction* SaveAs1 = window.SaveAs1;
    QAction* RenderScript1 = window.RenderScript1;
    QAction* Exit1 = window.Exit1;
    QMenu* Edit1 = window.Edit1;
    QAction* Undo1 = window.Undo1;
    QAction* Redo1 = window.Redo1;
    QMenu* View1 = window.View1;
    QAction* Explorater1 = window.Explorater1;
    QAction* CopyList1 = window.CopyList1;
    QAction* DeleteList1 = window.DeleteList1;
    QAction* NewImage1 = window.NewImage1;
    QMenu* Options1 = window.Options1;
    QMenu* Language1 = window.Language1;
    QAction* English1 = window.English1;
    QAction* French1 = window.French1;
    QAction* Espaol1 = window.Espaol1;
    QAction* Deutsch1 = window.Deutsch1;
    QAction* Italian1 = window.Italian1;
    QAction* ConversionSettings1 = window.ConversionSettings1;
    QAction* OtherAudioFormats1 = window.OtherAudioFormats1;
    QMenu* Help1 = window.Help1;
    QAction* About1 = window.About1;
    QMenu* Web1 = window.Web1;
    QAction* HomePage1 = window.HomePage1;
    QAction* SendEmailToSupport1 = window.SendEmailToSupport1;
    QAction* ShowHiddenFolders1 = window.ShowHiddenFolders1;
    QSplitter* ClientSplitter = window.ClientSplitter;
    QLabel* StatusPanel = window.StatusPanel;
};
using MainWindowParts = WindowParts<TForm1>;

template <> struct WindowParts<TForm2> {
    explicit WindowParts(TForm2& w) : window(w) {}
    TForm2& window;
    QLabel* Image1 = window.Image1;
    QLabel* StaticText1 = window.StaticText1;
    QLabel* StaticText2 = window.StaticText2;
    QLabel* StaticText3 = window.StaticText3;
    QLabel* Image2 = window.Image2;
    QPushButton* mxFlatButton1 = window.mxFlatButton1;
};

template <> struct WindowParts<TForm3> {
    explicit WindowParts(TForm3& w) : window(w) {}
    TForm3& window;
    QLabel* Label1 = window.Label1;
    QLabel* Label2 = window.Label2;
    QLabel* Label3 = window.Label3;
    QLabel* Label4 = window.Label4;
    QLabel* Label5 = window.Label5;
    QLabel* Label6 = window.Label6;
    QLabel* Label7 = window.Label7;
    QLabel* Label8 = window.Label8;
    QLineEdit* Edit1 = window.Edit1;
    QLineEdit* Edit2 = window.Edit2;
    QLineEdit* Edit3 = window.Edit3;
    QLineEdit* Edit4 = window.Edit4;
    QLineEdit* Edit5 = window.Edit5;
    QLineEdit* Edit6 = window.Edit6;
    QLineEdit* Edit7 = window.Edit7;
    QPlainTextEdit* Memo1 = window.Memo1;
    QPushButton* mxFlatButton1 = window.mxFlatButton1;
    QPushButton* mxFlatButton2 = window.mxFlatButton2;
    QLabel* RefusedHint = window.RefusedHint;
};

template <> struct WindowParts<TOKBottomDlg4> {
    explicit WindowParts(TOKBottomDlg4& w) : window(w) {}
    TOKBottomDlg4& window;
    QLabel* Label1 = window.Label1;
    QLabel* mxFlatLabel1 = window.mxFlatLabel1;
    QLineEdit* mxFlatEdit1 = window.mxFlatEdit1;
    QPushButton* mxFlatButton3 = window.mxFlatButton3;
    QPushButton* mxFlatButton1 = window.mxFlatButton1;
    QPushButton* mxFlatButton2 = window.mxFlatButton2;
};

template <> struct WindowParts<TOKBottomDlg5> {
    explicit WindowParts(TOKBottomDlg5& w) : window(w) {}
    TOKBottomDlg5& window;
    QPlainTextEdit* mxFlatMemo1 = window.mxFlatMemo1;
    QPushButton* mxFlatButton1 = window.mxFlatButton1;
};

template <> struct WindowParts<TOKBottomDlg1> {
    explicit WindowParts(TOKBottomDlg1& w) : window(w) {}
    TOKBottomDlg1& window;
    QLabel* Label1 = window.Label1;
    QProgressBar* ProgressBar1 = window.ProgressBar1;
    QLabel* DetailLabel = window.DetailLabel;
    QLabel* CopyFileLabel = window.CopyFileLabel;
    QPushButton* CancelButton = window.CancelButton;
};

template <> struct WindowParts<TOKBottomDlg6> {
    explicit WindowParts(TOKBottomDlg6& w) : window(w) {}
    TOKBottomDlg6& window;
    TLsDirTree21* LsDirTree211 = window.LsDirTree211;
    QPushButton* mxFlatButton1 = window.mxFlatButton1;
    QPushButton* mxFlatButton2 = window.mxFlatButton2;
    QLabel* MissingLabel = window.MissingLabel;
};

template <> struct WindowParts<TConversionDlg> {
    explicit WindowParts(TConversionDlg& w) : window(w) {}
    TConversionDlg& window;
    QComboBox* QualityBox = window.QualityBox;
    QCheckBox* CoverBox = window.CoverBox;
    QSpinBox* CacheLimitBox = window.CacheLimitBox;
    QPushButton* EmptyCacheButton = window.EmptyCacheButton;
};
