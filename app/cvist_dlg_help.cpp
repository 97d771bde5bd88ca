// The main window's help: the globe buttons open the program's documentation page, F1 and the
// window menu the about box.

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "app/about_dlg.h"
#include "app/cvist_dlg.h"
#include "settings/paths.h"

namespace vistrela {

namespace {

// The program's own documentation: beside the program, one folder up (a build tree), or
// where a package installs it.
QString documentationPage() {
    const QString dir = QString::fromStdString(appDir());
    for (const QString& candidate :
         {dir + "README.md", dir + "../README.md", QStringLiteral(VISTRELA_DOC_DIR "/README.md"),
          QStringLiteral("/usr/share/doc/vistrela/README.md")}) {
        if (QFileInfo::exists(candidate)) return QFileInfo(candidate).canonicalFilePath();
    }
    return {};
}

}  // namespace

void CvistDlg::openWebPage() {
    const QString page = documentationPage();
    if (!page.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(page))) return;
    // No page, or nothing on this desktop opens it: said over the picture until a click.
    ctx_.view.notice.PostFailure(tr("웹 페이지를 열 수 없습니다").toStdString() + "\n" +
                                 (page.isEmpty() ? std::string("README.md") : page.toStdString()));
    showNotice();
}

void CvistDlg::showAbout() {
    CAboutDlg box(this);
    box.exec();
}

}  // namespace vistrela
