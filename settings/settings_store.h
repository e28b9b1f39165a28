// Where the reader keeps its preferences and remembered state.
//
// Values live in named sections and are one of three kinds: integers,
// UTF-8 strings and raw bytes. Reading a value that is absent, or that is
// stored with another kind than the one asked for, gives nullopt; callers then
// take their default. Writing never reports failure: a value that cannot be
// stored is simply not there at the next start.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

class QSettings;
class QVariant;

namespace velto {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual std::optional<int> read_int(std::string_view section, std::string_view name) const = 0;
    virtual std::optional<std::string> read_string(std::string_view section, std::string_view name) const = 0;
    virtual std::optional<std::string> read_binary(std::string_view section, std::string_view name) const = 0;

    virtual void write_int(std::string_view section, std::string_view name, int value) = 0;
    virtual void write_string(std::string_view section, std::string_view name, std::string_view value) = 0;
    virtual void write_binary(std::string_view section, std::string_view name, std::string_view bytes) = 0;

    // Writes made between begin_batch and the matching end_batch reach the
    // disk together at end_batch; batches nest. Reads see every write at once.
    virtual void begin_batch() {}
    virtual void end_batch() {}
};

// A batch of writes for the lifetime of the object (see SettingsStore).
class SettingsBatch {
public:
    explicit SettingsBatch(SettingsStore& store) : store_(store) { store_.begin_batch(); }
    ~SettingsBatch() { store_.end_batch(); }
    SettingsBatch(const SettingsBatch&) = delete;
    SettingsBatch& operator=(const SettingsBatch&) = delete;

private:
    SettingsStore& store_;
};

// The per-user settings file (not on Windows, where the registry holds them):
// ~/.config/mokume88/ヴェルト.conf, or where XDG_CONFIG_HOME says.
std::string user_settings_file();

// Parses a whole text as a decimal int: an optional sign and at least one
// digit, nothing before or after, within the range of int. This is how an
// integer stored as text (INI files keep every number as text) is read back.
std::optional<int> parse_stored_int(std::string_view text);

// The per-user settings of the program through QSettings.
//
// The default store is organisation "mokume88", application "ヴェルト" in the
// platform's native place (the registry key on Windows, the per-user
// configuration file elsewhere); the other constructor uses the given file.
// Files are read and written in the format of settings/settings_file.h: every
// value comes back as text or bytes, so an integer is a text that
// parse_stored_int accepts, and a file of any content or size is safe to open.
//
// Each write is flushed at once, or at the end of its batch (replacing the
// file costs a flush to the disk, so the many values stored at exit go in
// one); QSettings replaces the file through a temporary file and a rename, so
// an interrupted write leaves the old file.
// A text or bytes value longer than kMaxSettingsValueSize is not written: no
// value of the program comes near it, and the file stays within its limit.
// A path that exists but is no regular file (a folder, a pipe), or is a link
// of another user, is neither read nor written; it is looked at before
// QSettings ever opens it.
// QSettings takes a lock file (FILE.lock) to write, and would wait for it
// for ever: when the lock cannot be taken within kLockWaitMs (a folder or a
// damaged file in its place, a writer that hangs), the file is written
// without the lock, whole and atomically, and that is said once on standard
// error.
class QtSettingsStore final : public SettingsStore {
public:
    QtSettingsStore();
    explicit QtSettingsStore(const std::string& ini_path);
    ~QtSettingsStore() override;
    QtSettingsStore(const QtSettingsStore&) = delete;
    QtSettingsStore& operator=(const QtSettingsStore&) = delete;

    std::optional<int> read_int(std::string_view section, std::string_view name) const override;
    std::optional<std::string> read_string(std::string_view section, std::string_view name) const override;
    std::optional<std::string> read_binary(std::string_view section, std::string_view name) const override;

    void write_int(std::string_view section, std::string_view name, int value) override;
    void write_string(std::string_view section, std::string_view name, std::string_view value) override;
    void write_binary(std::string_view section, std::string_view name, std::string_view bytes) override;
    void begin_batch() override { ++batch_depth_; }
    void end_batch() override;

    // False when the path was refused (see above).
    bool usable() const { return settings_ != nullptr; }

    // The file (or registry path) behind the store, UTF-8.
    const std::string& location() const { return location_; }

    static constexpr int kLockWaitMs = 500;

private:
    void adopt(std::unique_ptr<QSettings> settings);
    bool file_acceptable() const;
    // The value of a key: a write not yet flushed, else the file's (an
    // invalid QVariant when absent).
    QVariant value(std::string_view section, std::string_view name) const;
    void put(std::string_view section, std::string_view name, const QVariant& value);
    // Flushes the writes unless a batch holds them.
    void flush();
    // True when QSettings can take its lock now; false for the rest of the
    // run once it could not within kLockWaitMs.
    bool lock_available();

    std::unique_ptr<QSettings> settings_;
    // Writes not yet handed to QSettings: it gets them only when it can
    // write them without waiting.
    struct Pending;
    std::unique_ptr<Pending> pending_;
    bool lock_refused_ = false;
    int batch_depth_ = 0;
    std::string location_;
    bool is_file_ = false;
};

// Values held in memory only: for tests, and for callers that take a snapshot.
// Kinds are kept apart as in the registry: an int is not readable as a string
// and a string is not readable as an int.
class MemorySettingsStore final : public SettingsStore {
public:
    std::optional<int> read_int(std::string_view section, std::string_view name) const override;
    std::optional<std::string> read_string(std::string_view section, std::string_view name) const override;
    std::optional<std::string> read_binary(std::string_view section, std::string_view name) const override;

    void write_int(std::string_view section, std::string_view name, int value) override;
    void write_string(std::string_view section, std::string_view name, std::string_view value) override;
    void write_binary(std::string_view section, std::string_view name, std::string_view bytes) override;

    bool contains(std::string_view section, std::string_view name) const;
    void erase(std::string_view section, std::string_view name);
    std::size_t size() const { return entries_.size(); }

private:
    enum class Kind { Int, String, Binary };
    struct Entry {
        Kind kind = Kind::Int;
        int number = 0;
        std::string text;
    };
    using Key = std::pair<std::string, std::string>;

    const Entry* find(std::string_view section, std::string_view name, Kind kind) const;

    std::map<Key, Entry> entries_;
};

// Reads through to another store and drops every write: the command-line
// tools look at the user's settings but must never change them.
class ReadOnlySettings final : public SettingsStore {
public:
    explicit ReadOnlySettings(const SettingsStore& source) : source_(source) {}

    std::optional<int> read_int(std::string_view section, std::string_view name) const override
    {
        return source_.read_int(section, name);
    }
    std::optional<std::string> read_string(std::string_view section, std::string_view name) const override
    {
        return source_.read_string(section, name);
    }
    std::optional<std::string> read_binary(std::string_view section, std::string_view name) const override
    {
        return source_.read_binary(section, name);
    }

    void write_int(std::string_view, std::string_view, int) override {}
    void write_string(std::string_view, std::string_view, std::string_view) override {}
    void write_binary(std::string_view, std::string_view, std::string_view) override {}

private:
    const SettingsStore& source_;
};

} // namespace velto
