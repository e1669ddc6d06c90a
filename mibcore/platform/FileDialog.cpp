#include "mibcore/platform/FileDialog.h"

#include "mibcore/agent/AppConstants.h"

#include "mibcore/platform/Language.h"
#include "mibcore/platform/MessageBox.h"
#include "mibcore/platform/UiThread.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include <memory>
#include <mutex>

namespace platform {
namespace {

std::mutex g_hookMutex;
FileHook g_hook;

std::optional<std::string> QtChoose(const FileRequest& req)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return std::nullopt;  // no one to ask
    std::unique_ptr<QFileDialog> dlg = MakeFileChooser(req, QApplication::activeWindow());
    if (dlg->exec() != QDialog::Accepted || dlg->selectedFiles().isEmpty())
        return std::nullopt;
    return dlg->selectedFiles().first().toStdString();
}

// Filter descriptions the choosers of the program use, translated where a
// chooser shows them; the request itself keeps the source text.
[[maybe_unused]] const char* const kFilterNames[] = {
    QT_TRANSLATE_NOOP("Quillon", "すべてのファイル (*.*)"),
};

}  // namespace

std::unique_ptr<QFileDialog> MakeFileChooser(const FileRequest& req, QWidget* parent)
{
    auto dlg = std::make_unique<QFileDialog>(parent);
    // A chooser says what it is for; replacing a file is asked about once
    // the default extension is on the name (FileDialog), not here.
    dlg->setWindowTitle(!req.title.empty() ? TrText(QString::fromStdString(req.title))
                        : req.open         ? Quillon::tr("開く")
                                           : Quillon::tr("名前を付けて保存"));
    dlg->setAcceptMode(req.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dlg->setLabelText(QFileDialog::Accept, req.open ? Quillon::tr("開く(&O)") : Quillon::tr("保存(&S)"));
    dlg->setOption(QFileDialog::DontConfirmOverwrite);
    dlg->setFileMode(QFileDialog::AnyFile);
    QString filter = QtFilter(req.filter);
    if (!filter.isEmpty())
        dlg->setNameFilter(filter);
    std::string ext = req.defaultExt;
    if (!ext.empty() && ext.front() == '.')
        ext.erase(0, 1);
    if (!ext.empty())
        dlg->setDefaultSuffix(QString::fromStdString(ext));
    // An installed copy opens in the operator's home folder, a start
    // directory in the working directory (the chooser's own default).
    const std::string& dir = AppConstants::getInstance()->getFileDir();
    if (!dir.empty())
        dlg->setDirectory(QString::fromStdString(dir));
    if (!req.fileName.empty())
        dlg->selectFile(QString::fromStdString(req.fileName));
    return dlg;
}

QString QtFilter(const std::string& filter)
{
    QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = TrText(parts[i].trimmed());
        QString pattern = parts[i + 1].trimmed();
        if (desc.isEmpty() && pattern.isEmpty())
            break;
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        // A description that already names its pattern ("… (*.*)") shows it once.
        const QString named = QStringLiteral(" (%1)").arg(pattern);
        if (desc.endsWith(named))
            desc.chop(named.size());
        entries << QStringLiteral("%1 (%2)").arg(desc, pattern);
    }
    return entries.join(QStringLiteral(";;"));
}

std::string WithDefaultExt(const std::string& path, const std::string& ext)
{
    if (ext.empty() || path.empty())
        return path;
    std::size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name.find('.') != std::string::npos)
        return path;
    return path + (ext.front() == '.' ? ext : "." + ext);
}

std::optional<std::string> FileDialog(const FileRequest& request)
{
    FileHook hook;
    {
        std::lock_guard<std::mutex> lock(g_hookMutex);
        hook = g_hook;
    }
    FileRequest req = request;
    for (;;) {
        std::optional<std::string> path;
        RunOnUiThread([&] { path = hook ? hook(req) : QtChoose(req); });
        if (path && path->empty())
            path.reset();
        if (path)
            *path = WithDefaultExt(*path, req.defaultExt);
        // Saving over an existing file asks first; No chooses again.
        if (!path || req.open || !QFileInfo::exists(QString::fromStdString(*path)))
            return path;
        const int answer = MessageBox(Quillon::tr("%1 は既に存在します。\n上書きしますか？").arg(QString::fromStdString(*path)).toStdString(),
                                       MB_YESNO | MB_ICONWARNING);
        if (answer != IDNO && answer != IDCANCEL)
            return path;
        req.fileName = *path;
    }
}

FileHook SetFileHook(FileHook hook)
{
    std::lock_guard<std::mutex> lock(g_hookMutex);
    FileHook old = std::move(g_hook);
    g_hook = std::move(hook);
    return old;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    bool ok = f.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
    f.close();
    return ok && f.error() == QFileDevice::NoError;
}

bool WriteFileOrReport(const std::string& path, const std::string& bytes)
{
    if (WriteFileBytes(path, bytes))
        return true;
    MessageBox(Quillon::tr("%1 を作成できませんでした。").arg(QString::fromStdString(path)).toStdString(), MB_OK | MB_ICONERROR);
    return false;
}

bool ExportCsvFile(const std::function<std::string()>& bytes)
{
    FileRequest req;
    req.open = false;
    req.filter = "csv files(.csv)|*.csv||";
    req.defaultExt = ".csv";
    std::optional<std::string> path = FileDialog(req);
    if (!path || path->empty())
        return false;
    return WriteFileOrReport(*path, bytes());
}

}  // namespace platform
