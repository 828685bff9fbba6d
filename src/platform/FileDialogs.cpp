#include "platform/FileDialogs.h"

#include "platform/MessageBox.h"

#include <QApplication>
#include <QFileDialog>
#include <unistd.h>

bool BrowseForFolder(const std::string& title, std::string& out) {
    out.clear();
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
    QString dir = QFileDialog::getExistingDirectory(QApplication::activeWindow(),
                                                    QString::fromStdString(title));
    if (dir.isEmpty()) return false;
    out = dir.toStdString();
    return true;
}

CFileDialogX::CFileDialogX(const std::string& defExt, const std::string& fileName, unsigned flags,
                           const std::string& filter, const std::string& title,
                           const std::string& initialDir)
    : m_defExt(defExt), m_fileName(fileName), m_filter(filter), m_title(title), m_dir(initialDir),
      m_flags(flags) {
    if (m_dir.empty()) {
        char buf[4096];
        m_dir = ::getcwd(buf, sizeof buf) ? buf : "";
    }
}

std::string CFileDialogX::QtFilter() const {
    // Pairs of "description|pattern"; Qt takes the descriptions, which carry the patterns.
    std::string result;
    std::size_t pos = 0;
    while (pos < m_filter.size()) {
        std::size_t bar = m_filter.find('|', pos);
        if (bar == std::string::npos || bar == pos) break;
        std::size_t bar2 = m_filter.find('|', bar + 1);
        std::string desc = m_filter.substr(pos, bar - pos);
        std::string pat = m_filter.substr(bar + 1, bar2 == std::string::npos ? std::string::npos
                                                                             : bar2 - bar - 1);
        for (char& c : pat)
            if (c == ';') c = ' ';
        if (!result.empty()) result += ";;";
        result += desc.find('(') == std::string::npos ? desc + " (" + pat + ")" : desc;
        if (bar2 == std::string::npos) break;
        pos = bar2 + 1;
    }
    return result;
}

int CFileDialogX::DoModal() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return IDCANCEL;
    QFileDialog dlg(QApplication::activeWindow());
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    if (!m_title.empty()) dlg.setWindowTitle(QString::fromStdString(m_title));
    dlg.setDirectory(QString::fromStdString(m_dir));
    if (!m_defExt.empty()) dlg.setDefaultSuffix(QString::fromStdString(m_defExt));
    if (!m_fileName.empty()) dlg.selectFile(QString::fromStdString(m_fileName));
    std::string f = QtFilter();
    if (!f.empty()) dlg.setNameFilter(QString::fromStdString(f));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return IDCANCEL;
    m_path = dlg.selectedFiles().first().toStdString();
    return IDOK;
}
