#include "faultywrites.h"

#include <QFile>
#include <QProcess>
#include <QSaveFile>

#include <unistd.h>
#include <utility>

namespace marbleway::test {

using namespace Qt::StringLiterals;

namespace {

// The disk fills up half way through the first write.
class HalfWrittenFile final : public QSaveFile {
public:
    using QSaveFile::QSaveFile;

protected:
    qint64 writeData(const char* data, qint64 size) override
    {
        return std::exchange(m_full, true) ? -1 : QSaveFile::writeData(data, size / 2);
    }

private:
    bool m_full = false;
};

bool readNothing(QIODevice&, QSettings::SettingsMap&)
{
    return true;
}

bool writeHalf(QIODevice& device, const QSettings::SettingsMap&)
{
    device.write("half=");
    return false;
}

bool writeUncommitted(QIODevice& device, const QSettings::SettingsMap&)
{
    device.write("all=1\n");
    qobject_cast<QSaveFile*>(&device)->cancelWriting();
    return true;
}

} // namespace

std::unique_ptr<QSaveFile> FaultyWriter::open(const QString& path) const
{
    if (m_fault == WriteFault::Write)
        return std::make_unique<HalfWrittenFile>(path);
    return FileWriter::open(path);
}

bool FaultyWriter::commit(QSaveFile& file) const
{
    if (m_fault == WriteFault::Commit)
        file.cancelWriting();
    return FileWriter::commit(file);
}

std::unique_ptr<QSettings> faultySettings(const QString& path, WriteFault fault)
{
    static const auto half = QSettings::registerFormat(u"half"_s, readNothing, writeHalf);
    static const auto uncommitted =
        QSettings::registerFormat(u"uncommitted"_s, readNothing, writeUncommitted);
    return std::make_unique<QSettings>(path, fault == WriteFault::Write ? half : uncommitted);
}

SmallDisk::SmallDisk()
{
    if (geteuid() != 0)
        m_reason = u"mounting a tmpfs needs root"_s;
    else if (QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=64k"_s, u"tmpfs"_s,
                                            m_dir.path()}) != 0)
        m_reason = u"mount could not mount a tmpfs"_s;
}

SmallDisk::~SmallDisk()
{
    if (m_reason.isEmpty())
        QProcess::execute(u"umount"_s, {m_dir.path()});
}

void SmallDisk::fill() const
{
    QFile filler(filePath(u"filler"_s));
    const QByteArray page(4096, 'x');
    if (filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        while (filler.write(page) == page.size()) {
        }
    }
}

void SmallDisk::free() const
{
    QFile::remove(filePath(u"filler"_s));
}

} // namespace marbleway::test
