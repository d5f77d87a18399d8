#include "export/exportlist.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace marbleway {

using namespace Qt::StringLiterals;

QCoro::Task<> ExportList(ExportServices services, const QAbstractItemModel& list,
                         QString description, ExportFormat format, ReportKind kind,
                         std::vector<bool> hidden)
{
    if (services.panels.isBusy())
        co_return;
    if (list.rowCount() == 0) {
        co_await services.prompts.message(
            QCoreApplication::translate("ExportList", "导出数据"),
            QCoreApplication::translate("ExportList", "没有数据需要导出！"),
            PromptIcon::Information);
        co_return;
    }
    const QString extension = extensionOf(format);
    const auto chosen = co_await services.prompts.saveFileName(
        u"Save   Export   File"_s, description + u"  (*."_s + extension + u")"_s, extension);
    if (!chosen || chosen->isEmpty())
        co_return;
    const QString path = *chosen;
    if (QFileInfo::exists(path)) {
        const bool overwrite = co_await services.prompts.confirm(
            QCoreApplication::translate("ExportList", "提示"),
            QCoreApplication::translate("ExportList", "该文件已经存在，是否覆盖?"),
            PromptButtons::OkCancel);
        if (!overwrite)
            co_return;
    }
    // The list as it is now, read while the file is written.
    if (const WriteResult written =
            writeReport(path, format, kind, ModelRows(list, std::move(hidden)), *services.writer);
        !written) {
        co_await services.prompts.message(
            QCoreApplication::translate("ExportList", "导出失败"),
            QCoreApplication::translate("ExportList", "导出失败，原因如下：") + u"\r\n\r\n"_s +
                written.error,
            PromptIcon::Critical);
        co_return;
    }
    const bool open = co_await services.prompts.confirm(
        QCoreApplication::translate("ExportList", "提示"),
        QCoreApplication::translate("ExportList", "导出完成，是否打开文件?"),
        PromptButtons::OkCancel);
    if (open && services.openFile)
        services.openFile(path);
}

} // namespace marbleway
