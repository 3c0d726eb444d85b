// Resident memory while the display themes are applied a thousand times to a window with controls
// of every theme group and a menu bar: the themes must not grow memory with each application.
#include "app/DisplayThemes.h"
#include "app/ThemeStyle.h"

#include <malloc.h>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPixmapCache>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

namespace {

long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

// Bytes the program holds from the allocator, apart from what the allocator keeps for reuse.
long heapInUseKiB() {
    return static_cast<long>(mallinfo2().uordblks / 1024);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Arguments: "no-cache" switches the style's pixmap cache off, which leaves only what the
    // themes themselves keep; "plain-style" draws with the platform's style instead of the
    // program's; "clear" empties the pixmap cache after each application; a number sets how many
    // thousands to apply (5), for runs under a memory profiler.
    bool noCache = false;
    bool clearCache = false;
    bool plainStyle = false;
    int thousands = 5;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "no-cache") == 0) {
            noCache = true;
        } else if (qstrcmp(argv[i], "plain-style") == 0) {
            plainStyle = true;
        } else if (qstrcmp(argv[i], "clear") == 0) {
            clearCache = true;
        } else if (const int n = QByteArray(argv[i]).toInt(); n > 0) {
            thousands = n;
        }
    }
    if (noCache) {
        QPixmapCache::setCacheLimit(0);
    }
    // The program's own style, as it installs it; "plain-style" leaves the platform's style alone.
    if (!plainStyle) {
        QApplication::setStyle(new tarquel::ThemeStyle);
    }
    QMainWindow window;
    window.setObjectName(QStringLiteral("frmBench"));
    for (int m = 0; m < 5; ++m) {
        QMenu* menu = window.menuBar()->addMenu(QStringLiteral("Menu %1").arg(m));
        for (int i = 0; i < 8; ++i) {
            menu->addMenu(QStringLiteral("Sub %1").arg(i))->addAction(QStringLiteral("Item"));
        }
    }
    auto* central = new QWidget(&window);
    auto* column = new QVBoxLayout(central);
    for (int i = 0; i < 40; ++i) {
        auto* label = new QLabel(QStringLiteral("Label %1").arg(i), central);
        label->setObjectName(QStringLiteral("lblValue%1").arg(i));
        label->setFrameShape(QFrame::Panel);
        column->addWidget(label);
        auto* text = new QPlainTextEdit(central);
        text->setObjectName(QStringLiteral("txtNote%1").arg(i));
        column->addWidget(text);
        auto* button = new QPushButton(QStringLiteral("Button %1").arg(i), central);
        button->setObjectName(QStringLiteral("btnGo%1").arg(i));
        column->addWidget(button);
        auto* check = new QCheckBox(central);
        check->setObjectName(QStringLiteral("chkOption%1").arg(i));
        column->addWidget(check);
    }
    window.setCentralWidget(central);
    window.show();
    QCoreApplication::processEvents();

    tarquel::DisplayThemes themes(QApplication::palette());
    const auto applyTimes = [&](int times) {
        for (int i = 0; i < times; ++i) {
            themes.applyToAllWindows(i % 2 == 0 ? tarquel::DisplayTheme::HighContrast
                                                : tarquel::DisplayTheme::Normal);
            QCoreApplication::processEvents();
            if (clearCache) {
                QPixmapCache::clear();
            }
        }
    };
    applyTimes(20);  // first applications create the palettes' shared data once
    // The style keeps drawn pieces in the pixmap cache, which Qt bounds (QPixmapCache::cacheLimit,
    // pieces of every palette seen kept until the limit): memory may rise to it, then stays flat.
    std::printf("theme applied to %d controls, pixmap cache limit %d KiB\n",
                static_cast<int>(window.findChildren<QWidget*>().size()),
                QPixmapCache::cacheLimit());
    long previous = residentKiB();
    std::printf("resident before: %ld KiB\n", previous);
    for (int thousand = 1; thousand <= thousands; ++thousand) {
        applyTimes(1000);
        const long now = residentKiB();
        std::printf("after %d000 applications: %ld KiB (%+ld), heap in use %ld KiB\n", thousand,
                    now, now - previous, heapInUseKiB());
        previous = now;
    }
    std::printf("goal: the last thousand adds nothing beyond allocator noise (under 512 KiB)\n");
    return 0;
}
