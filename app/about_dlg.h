#pragma once
// CAboutDlg: the about box of the window menu and F1. Caption "Vistrela Viewer 정보", the line
// "Vistrela Viewer 2.0" and the button "확인". It is 235 x 55 dialog units of its font and never
// narrower than its caption needs beside a title bar's icon and buttons, so that no window
// manager has to cut the caption short. Modal; UI thread only.

#include <QDialog>

namespace vistrela {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent);
};

}  // namespace vistrela
