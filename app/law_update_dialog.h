// ファイル → 法令データの更新…: the dialog that runs velto-update beside the
// reader, first --check, then, on 更新, --update, as a child process: the
// reader itself never writes the database.
//
// A row per law (code, title, the stored 施行日, that of the edition in
// force, the result); the progress line of every request while the tool runs;
// when it fails, its messages and that the database is unchanged. Stopping it
// (中止, or closing the dialog) ends the tool, whose write is all or nothing.
// An update that succeeded is announced by databaseReplaced, for the window
// to open the database again.
#pragma once

#include <QDialog>
#include <QProcess>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace velto {

class LawUpdateDialog : public QDialog {
    Q_OBJECT
public:
    // `tool` is velto-update, run on the program folder `program_dir`.
    LawUpdateDialog(QString tool, QString program_dir, QWidget* parent = nullptr);
    ~LawUpdateDialog() override;

    // Runs --check; the rows follow when it has ended.
    void start_check();
    // Runs --update for the laws with a newer edition.
    void start_update();
    bool running() const { return process_.state() != QProcess::NotRunning; }

    QTableWidget* results() const { return results_; }
    QLabel* status_label() const { return status_; }
    QPlainTextEdit* log() const { return log_; }
    QPushButton* update_button() const { return update_; }

signals:
    // The tool wrote the database: the reader should open it again.
    void databaseReplaced();
    // The tool has ended (check or update, successful or not).
    void toolFinished(bool ok);

protected:
    void reject() override;

private:
    void run(const QStringList& arguments, bool updating);
    void read_errors();
    void finish(int code, QProcess::ExitStatus status);
    // Puts a line of the tool's results into the table: a row per law code.
    void show_result(const QStringList& fields);

    QString tool_;
    QString program_dir_;
    QProcess process_;
    bool updating_ = false;
    QByteArray pending_errors_;
    QStringList messages_; // what the tool said besides its progress
    QLabel* status_ = nullptr;
    QProgressBar* busy_ = nullptr;
    QTableWidget* results_ = nullptr;
    QPlainTextEdit* log_ = nullptr;
    QPushButton* update_ = nullptr;
    QPushButton* close_ = nullptr;
};

} // namespace velto
