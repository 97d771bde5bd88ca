#pragma once
// CAboutDlg: the about box of the window menu and F1. Caption "Vistrela Viewer 정보" (in the
// user's language), the line "Vistrela Viewer 2.0", the run-time versions of Qt, GStreamer and
// FFmpeg, the licence, the home page, the keys table and the button "확인". It is at least
// 235 x 55 dialog units of its font, never narrower than its caption needs beside a title bar's
// icon and buttons, and never larger than the screen (the keys table scrolls then). Modal; UI
// thread only.

#include <QDialog>

namespace vistrela {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent);
};

}  // namespace vistrela
