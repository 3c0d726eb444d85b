#pragma once

#include "maptool/MapFile.h"
#include "maptool/MapTool.h"
#include "support/SessionRig.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace tarquel::test {

// Keeps what the map tool last showed of the page selector and the warning line.
struct RecordingCompareView : MapCompareView {
    void setMapsMatchVisible(bool v) override { mapsMatch = v; }
    void setPageLabels(const QString& c, const QString& t) override { pages = c + "/" + t; }
    void setPageButtons(bool back, bool forward) override { buttons = {back, forward}; }

    bool mapsMatch = false;
    QString pages;
    std::pair<bool, bool> buttons;
};

// The session's map tool against the simulated unit on virtual time, with a folder for map files.
class MapToolFixture : public SessionRig {
protected:
    MapToolFixture() {
        maps().setDesktopFolder(dir.path() + QLatin1Char('/'));
        maps().attach(view, progress);
    }
    ~MapToolFixture() override { maps().detach(); }

    MapTool& maps() { return session->maps(); }
    void makeFamily(unitsim::MapFamily family) { makeUnit(quietUnit(family)); }
    QString path(const QString& name) const { return dir.filePath(name); }
    static QByteArray contents(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void put(const QString& file, const QByteArray& bytes) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    // Saves the unit's map to name through the File menu's command.
    QString saveMap(const QString& name) {
        dialogs.queueAnswer(path(name));
        EXPECT_EQ(maps().saveMap(), MapSaveResult::Saved);
        return path(name);
    }
    // Map addresses written with the write-word command, in order (the access word left out).
    std::vector<int> mapWrites() const {
        std::vector<int> addresses;
        for (const auto& w : system.writes()) {
            if (w.bytes.size() == 5 && w.bytes[0] == '\x7B') {
                const int a =
                    static_cast<quint8>(w.bytes[1]) << 8 | static_cast<quint8>(w.bytes[2]);
                if (a != 0x000C && a != 0x200E) {
                    addresses.push_back(a);
                }
            }
        }
        return addresses;
    }

    QTemporaryDir dir;
    RecordingCompareView view;
};

}  // namespace tarquel::test
