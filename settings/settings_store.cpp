#include "settings/settings_store.h"

#include "settings/settings_file.h"

#include "core/terminal_text.h"
#include "core/user_file.h"

#include <QByteArray>
#include <QFileInfo>
#include <QLockFile>
#include <QMap>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QVariant>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>

namespace velto {

namespace {

const char* const kOrganisation = "mokume88";
const char* const kApplication = "ヴェルト";

QString key_of(std::string_view section, std::string_view name)
{
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + QLatin1Char('/')
        + QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

std::optional<int> int_in_range(long long value)
{
    if (value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace

std::optional<int> parse_stored_int(std::string_view text)
{
    const char* first = text.data();
    const char* last = text.data() + text.size();
    bool negative = false;
    if (first != last && (*first == '+' || *first == '-')) {
        negative = *first == '-';
        ++first;
    }
    if (first == last || *first < '0' || *first > '9')
        return std::nullopt;
    unsigned long long magnitude = 0;
    const auto [end, error] = std::from_chars(first, last, magnitude);
    if (error != std::errc() || end != last)
        return std::nullopt;
    if (magnitude > static_cast<unsigned long long>(INT_MAX) + (negative ? 1 : 0))
        return std::nullopt;
    return negative ? static_cast<int>(-static_cast<long long>(magnitude)) : static_cast<int>(magnitude);
}

// ---------------------------------------------------------------------------

std::string user_settings_file()
{
    // Where QSettings keeps the per-user file of this organisation and
    // application, known before QSettings opens it.
    return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') +
            QString::fromUtf8(kOrganisation) + QLatin1Char('/') + QString::fromUtf8(kApplication) +
            QStringLiteral(".conf"))
        .toStdString();
}

QtSettingsStore::QtSettingsStore() : pending_(std::make_unique<Pending>())
{
#ifdef Q_OS_WIN
    is_file_ = false;
    auto settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                QString::fromUtf8(kOrganisation), QString::fromUtf8(kApplication));
    location_ = settings->fileName().toStdString();
    adopt(std::move(settings));
#else
    // Checked before QSettings opens the file at all: it would wait forever
    // for a pipe.
    is_file_ = true;
    location_ = user_settings_file();
    if (file_acceptable())
        adopt(std::make_unique<QSettings>(QString::fromStdString(location_), settings_file_format()));
#endif
}

QtSettingsStore::QtSettingsStore(const std::string& ini_path)
    : pending_(std::make_unique<Pending>()), location_(ini_path), is_file_(true)
{
    // Checked before QSettings opens the file at all.
    if (file_acceptable())
        adopt(std::make_unique<QSettings>(QString::fromStdString(ini_path), settings_file_format()));
}

QtSettingsStore::~QtSettingsStore()
{
    batch_depth_ = 0;
    flush();
}

void QtSettingsStore::adopt(std::unique_ptr<QSettings> settings)
{
    // Only the program's own file: the organisation-wide and system-wide
    // fallbacks are neither needed nor trusted.
    settings->setFallbacksEnabled(false);
    settings->setAtomicSyncRequired(true);
    settings_ = std::move(settings);
}

bool QtSettingsStore::file_acceptable() const
{
    if (!is_file_)
        return true;
    struct stat link {};
    if (::lstat(location_.c_str(), &link) != 0)
        return errno == ENOENT;
    // A link another user planted would have QSettings write through it.
    if (S_ISLNK(link.st_mode) && link.st_uid != ::geteuid())
        return false;
    return QFileInfo(QString::fromStdString(location_)).isFile();
}

struct QtSettingsStore::Pending {
    QMap<QString, QVariant> values;
};

QVariant QtSettingsStore::value(std::string_view section, std::string_view name) const
{
    if (!settings_)
        return {};
    const QString key = key_of(section, name);
    if (const auto it = pending_->values.constFind(key); it != pending_->values.constEnd())
        return it.value();
    return settings_->value(key);
}

void QtSettingsStore::put(std::string_view section, std::string_view name, const QVariant& value)
{
    pending_->values.insert(key_of(section, name), value);
    flush();
}

std::optional<int> QtSettingsStore::read_int(std::string_view section, std::string_view name) const
{
    const QVariant value = this->value(section, name);
    switch (value.typeId()) {
    case QMetaType::QString:
        return parse_stored_int(value.toString().toStdString());
    case QMetaType::Int:
        return value.toInt();
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return int_in_range(value.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const qulonglong number = value.toULongLong();
        return number > static_cast<qulonglong>(INT_MAX) ? std::nullopt : std::optional<int>(static_cast<int>(number));
    }
    default:
        return std::nullopt;
    }
}

std::optional<std::string> QtSettingsStore::read_string(std::string_view section, std::string_view name) const
{
    const QVariant value = this->value(section, name);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString().toStdString();
}

std::optional<std::string> QtSettingsStore::read_binary(std::string_view section, std::string_view name) const
{
    const QVariant value = this->value(section, name);
    if (value.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    const QByteArray bytes = value.toByteArray();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void QtSettingsStore::write_int(std::string_view section, std::string_view name, int value)
{
    if (!settings_ || !file_acceptable())
        return;
    put(section, name, value);
}

void QtSettingsStore::write_string(std::string_view section, std::string_view name, std::string_view value)
{
    if (!settings_ || !file_acceptable() || static_cast<qsizetype>(value.size()) > kMaxSettingsValueSize)
        return;
    put(section, name, QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
}

void QtSettingsStore::write_binary(std::string_view section, std::string_view name, std::string_view bytes)
{
    if (!settings_ || !file_acceptable() || static_cast<qsizetype>(bytes.size()) > kMaxSettingsValueSize)
        return;
    put(section, name, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

void QtSettingsStore::flush()
{
    QMap<QString, QVariant>& pending = pending_->values;
    if (batch_depth_ != 0 || !settings_ || pending.isEmpty())
        return;
    if (!file_acceptable()) {
        pending.clear();
        return;
    }
    if (!is_file_ || lock_available()) {
        for (auto it = pending.constBegin(); it != pending.constEnd(); ++it)
            settings_->setValue(it.key(), it.value());
        pending.clear();
        settings_->sync();
        return;
    }
    // QSettings would wait for its lock for ever: the file is written here,
    // whole and atomically, without it.
    QSettings::SettingsMap values;
    for (const QString& key : settings_->allKeys())
        values.insert(key, settings_->value(key));
    for (auto it = pending.constBegin(); it != pending.constEnd(); ++it)
        values.insert(it.key(), it.value());
    pending.clear();
    const QByteArray text = format_settings_text(values);
    if (text.size() <= kMaxSettingsFileSize)
        write_user_file(location_, std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    settings_->sync(); // nothing pending: it reads the file back
}

bool QtSettingsStore::lock_available()
{
    if (lock_refused_)
        return false;
    QLockFile lock(QString::fromStdString(location_) + QStringLiteral(".lock"));
    if (lock.tryLock(kLockWaitMs)) {
        lock.unlock();
        return true;
    }
    lock_refused_ = true;
    print_text(stderr, "velto: the lock of the settings file cannot be taken (" + location_ +
                           ".lock); the settings are written without it\n");
    return false;
}

void QtSettingsStore::end_batch()
{
    if (batch_depth_ > 0 && --batch_depth_ == 0)
        flush();
}

// ---------------------------------------------------------------------------

const MemorySettingsStore::Entry* MemorySettingsStore::find(std::string_view section, std::string_view name,
                                                            Kind kind) const
{
    const auto it = entries_.find(Key(section, name));
    if (it == entries_.end() || it->second.kind != kind)
        return nullptr;
    return &it->second;
}

std::optional<int> MemorySettingsStore::read_int(std::string_view section, std::string_view name) const
{
    const Entry* entry = find(section, name, Kind::Int);
    return entry ? std::optional<int>(entry->number) : std::nullopt;
}

std::optional<std::string> MemorySettingsStore::read_string(std::string_view section, std::string_view name) const
{
    const Entry* entry = find(section, name, Kind::String);
    return entry ? std::optional<std::string>(entry->text) : std::nullopt;
}

std::optional<std::string> MemorySettingsStore::read_binary(std::string_view section, std::string_view name) const
{
    const Entry* entry = find(section, name, Kind::Binary);
    return entry ? std::optional<std::string>(entry->text) : std::nullopt;
}

void MemorySettingsStore::write_int(std::string_view section, std::string_view name, int value)
{
    entries_[Key(section, name)] = Entry{Kind::Int, value, {}};
}

void MemorySettingsStore::write_string(std::string_view section, std::string_view name, std::string_view value)
{
    entries_[Key(section, name)] = Entry{Kind::String, 0, std::string(value)};
}

void MemorySettingsStore::write_binary(std::string_view section, std::string_view name, std::string_view bytes)
{
    entries_[Key(section, name)] = Entry{Kind::Binary, 0, std::string(bytes)};
}

bool MemorySettingsStore::contains(std::string_view section, std::string_view name) const
{
    return entries_.count(Key(section, name)) != 0;
}

void MemorySettingsStore::erase(std::string_view section, std::string_view name)
{
    entries_.erase(Key(section, name));
}

} // namespace velto
