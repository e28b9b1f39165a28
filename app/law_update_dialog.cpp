#include "app/law_update_dialog.h"

#include "nav/plain_text.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace velto {

namespace {

constexpr char kPrefix[] = "velto-update: ";
const QString kNewer = QStringLiteral("新しい版があります");
enum Column { kCode, kTitle, kStored, kInForce, kResult, kColumns };
constexpr int kTitleWidth = 300;

} // namespace

LawUpdateDialog::LawUpdateDialog(QString tool, QString program_dir, QWidget* parent)
    : QDialog(parent), tool_(std::move(tool)), program_dir_(std::move(program_dir))
{
    setWindowTitle(QStringLiteral("法令データの更新"));
    setObjectName(QStringLiteral("lawUpdateDialog"));
    status_ = new QLabel(this);
    // The tool's messages quote law titles and what a server answered: never markup.
    status_->setTextFormat(Qt::PlainText);
    status_->setWordWrap(true);
    busy_ = new QProgressBar(this);
    busy_->setRange(0, 0);
    busy_->setTextVisible(false);
    busy_->hide();
    results_ = new QTableWidget(0, kColumns, this);
    results_->setHorizontalHeaderLabels(
        {QStringLiteral("コード"), QStringLiteral("法令名"), QStringLiteral("収録の施行日"),
         QStringLiteral("施行中の版"), QStringLiteral("結果")});
    results_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    results_->setSelectionBehavior(QAbstractItemView::SelectRows);
    results_->verticalHeader()->hide();
    results_->verticalHeader()->setDefaultSectionSize(results_->fontMetrics().height() + 6);
    results_->setWordWrap(false);
    results_->setTextElideMode(Qt::ElideRight);
    results_->horizontalHeader()->setStretchLastSection(true);
    log_ = new QPlainTextEdit(this);
    log_->setReadOnly(true);
    log_->setMaximumBlockCount(2000);
    log_->setFixedHeight(90);
    update_ = new QPushButton(QStringLiteral("更新(&U)"), this);
    update_->setEnabled(false);
    close_ = new QPushButton(QStringLiteral("閉じる"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(update_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(status_);
    layout->addWidget(busy_);
    layout->addWidget(results_, 1);
    layout->addWidget(log_);
    layout->addLayout(buttons);
    resize(940, 560);

    connect(update_, &QPushButton::clicked, this, &LawUpdateDialog::start_update);
    connect(close_, &QPushButton::clicked, this, &LawUpdateDialog::reject);
    connect(&process_, &QProcess::readyReadStandardError, this, &LawUpdateDialog::read_errors);
    connect(&process_, &QProcess::finished, this, &LawUpdateDialog::finish);
    connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        busy_->hide();
        close_->setText(QStringLiteral("閉じる"));
        status_->setText(QStringLiteral("法令データを更新するプログラム（%1）を起動できませんでした。").arg(tool_));
        emit toolFinished(false);
    });
}

LawUpdateDialog::~LawUpdateDialog()
{
    // A tool stopped halfway leaves the database as it was.
    if (running()) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

void LawUpdateDialog::start_check()
{
    results_->setRowCount(0);
    status_->setText(QStringLiteral("e-Gov 法令APIで各法令の施行中の版を確認しています…"));
    run({QStringLiteral("--check")}, false);
}

void LawUpdateDialog::start_update()
{
    status_->setText(QStringLiteral("新しい版を取得して更新しています…"));
    run({QStringLiteral("--update")}, true);
}

void LawUpdateDialog::run(const QStringList& arguments, bool updating)
{
    if (running())
        return;
    updating_ = updating;
    messages_.clear();
    pending_errors_.clear();
    update_->setEnabled(false);
    close_->setText(QStringLiteral("中止"));
    busy_->show();
    process_.start(tool_, QStringList{QStringLiteral("--program-dir"), program_dir_} + arguments);
}

void LawUpdateDialog::read_errors()
{
    pending_errors_ += process_.readAllStandardError();
    qsizetype end;
    while ((end = pending_errors_.indexOf('\n')) >= 0) {
        QString line = QString::fromUtf8(pending_errors_.left(end));
        pending_errors_.remove(0, end + 1);
        if (line.startsWith(QLatin1String(kPrefix)))
            line = line.mid(int(sizeof kPrefix) - 1);
        log_->appendPlainText(line);
        // A request's progress line ends in its seconds; the rest is what the tool has to say.
        if (!line.endsWith(QLatin1String(" s")))
            messages_ << line;
        else
            status_->setText((updating_ ? QStringLiteral("更新しています：") : QStringLiteral("確認しています：")) + line);
    }
}

void LawUpdateDialog::show_result(const QStringList& fields)
{
    if (fields.size() < 5)
        return;
    int row = 0;
    while (row < results_->rowCount() && results_->item(row, kCode)->text() != fields[0])
        ++row;
    if (row == results_->rowCount())
        results_->insertRow(row);
    QString result = fields[4];
    if (updating_)
        result = QStringLiteral("更新しました（%1）").arg(fields[4]);
    else if (fields.size() > 5)
        result += QStringLiteral("　") + fields[5];
    const QString texts[kColumns] = {fields[0], fields[1], fields[2], fields[3], result};
    for (int column = 0; column < kColumns; ++column)
        results_->setItem(row, column, new QTableWidgetItem(texts[column]));
    results_->item(row, kTitle)->setToolTip(plain_tooltip(fields[1]));
    if (result.contains(kNewer) || updating_)
        results_->item(row, kResult)->setForeground(updating_ ? Qt::darkGreen : Qt::darkRed);
}

void LawUpdateDialog::finish(int code, QProcess::ExitStatus status)
{
    read_errors();
    busy_->hide();
    close_->setText(QStringLiteral("閉じる"));
    const QStringList lines = QString::fromUtf8(process_.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    for (const QString& line : lines)
        show_result(line.split('\t'));
    results_->resizeColumnsToContents();
    // A long title is cut short (its whole text is its tip), so the result stays in view.
    results_->setColumnWidth(kTitle, std::min(results_->columnWidth(kTitle), kTitleWidth));
    const bool ok = status == QProcess::NormalExit && code == 0;
    if (!ok) {
        status_->setText(QStringLiteral("法令データを%1できませんでした。データベースは変更されていません。\n%2")
                             .arg(updating_ ? QStringLiteral("更新") : QStringLiteral("確認"),
                                  messages_.isEmpty() ? QStringLiteral("（中止しました）") : messages_.first()));
    } else if (updating_) {
        status_->setText(lines.isEmpty() ? QStringLiteral("更新する法令はありませんでした。")
                                         : QStringLiteral("%1件の法令を更新しました。置き換えた版は旧版として残しています。")
                                               .arg(lines.size()));
        if (!lines.isEmpty())
            emit databaseReplaced();
    } else {
        int newer = 0;
        for (int row = 0; row < results_->rowCount(); ++row)
            newer += results_->item(row, kResult)->text().startsWith(kNewer);
        status_->setText(newer ? QStringLiteral("%1件の法令に新しい版があります。「更新」で取り込みます。").arg(newer)
                               : QStringLiteral("すべての法令が最新です。"));
        update_->setEnabled(newer > 0);
    }
    emit toolFinished(ok);
}

void LawUpdateDialog::reject()
{
    if (running()) {
        process_.kill(); // all or nothing: the database stays as it was
        return;
    }
    QDialog::reject();
}

} // namespace velto
