#pragma once

#include "core/jobstatus.h"
#include "core/prompts.h"
#include "export/report.h"

#include <QAbstractItemModel>
#include <qcoro/qcorotask.h>

#include <functional>

namespace marbleway {

// What an export needs of the program around it.
struct ExportServices {
    Prompts& prompts;
    const StatusPanels& panels;
    // Opens a written file with the desktop's program for it.
    std::function<void(const QString& path)> openFile;
    const FileWriter* writer = &FileWriter::system();
};

// The export buttons of every list: asks for a file (`description` names the
// format in the dialog's filter), writes the list as `format` and offers to
// open the file. Does nothing while a job runs. `hidden` marks the columns the
// list does not show. The model must outlive the call.
QCoro::Task<> ExportList(ExportServices services, const QAbstractItemModel& list,
                         QString description, ExportFormat format, ReportKind kind,
                         std::vector<bool> hidden = {});

} // namespace marbleway
