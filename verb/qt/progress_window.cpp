#include "progress_window.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "verb_texts.h"

namespace rastrex::verb::qt {

namespace {

constexpr int kFileWidth = 560;  // pixels for the file in hand at most

}  // namespace

ProgressWindow::ProgressWindow()
    : file_(new QLabel(this)), bar_(new QProgressBar(this)), cancel_(new QPushButton(QString::fromUtf8(kCancelLabel), this))
{
    setWindowTitle(QString::fromUtf8(kWindowTitle));
    file_->setTextFormat(Qt::PlainText);
    file_->setMinimumWidth(420);
    file_->setAccessibleName(QStringLiteral("変換中のファイル"));
    bar_->setAccessibleName(QStringLiteral("進み具合"));
    bar_->setRange(0, 0);  // busy until the files are counted
    cancel_->setAccessibleName(QString::fromUtf8(kCancelLabel));
    cancel_->setAccessibleDescription(QStringLiteral("いま変換中のファイルが終わったところで止める"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(file_);
    layout->addWidget(bar_);
    layout->addWidget(cancel_, 0, Qt::AlignRight);
    connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
}

void ProgressWindow::setProgress(const Progress& progress)
{
    // A long path is shortened in its middle, so the window keeps its width.
    const QString text = QString::fromStdString(progressText(progress));
    const qsizetype end = text.indexOf(QLatin1Char('\n'));
    file_->setText(file_->fontMetrics().elidedText(text.left(end), Qt::ElideMiddle, kFileWidth) + text.mid(end));
    // The bar counts in files; a selection past the bar's range is shown
    // in thousandths.
    const bool scaled = progress.total > 1000000;
    const auto steps = [scaled, &progress](std::size_t n) {
        return static_cast<int>(scaled ? n * 1000 / progress.total : n);
    };
    bar_->setRange(0, steps(progress.total));
    bar_->setValue(steps(progress.done));
}

void ProgressWindow::reject()
{
    if (cancelled_.exchange(true))
        return;
    cancel_->setEnabled(false);
    cancel_->setText(QStringLiteral("中止中…"));
}

}  // namespace rastrex::verb::qt
