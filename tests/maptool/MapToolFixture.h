#pragma once

#include "maptool/MapCompareSession.h"
#include "maptool/MapFile.h"
#include "unitsim/UnitSimFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace tarquel::test {

// Keeps what the comparison logic last showed of the page selector and the warning line.
struct RecordingCompareView : MapCompareView {
    void setMapsMatchVisible(bool v) override { mapsMatch = v; }
    void setPageLabels(const QString& c, const QString& t) override { pages = c + "/" + t; }
    void setPageButtons(bool back, bool forward) override { buttons = {back, forward}; }

    bool mapsMatch = false;
    QString pages;
    std::pair<bool, bool> buttons;
};

// The simulated unit on virtual time with the comparison logic in front of it and a folder for
// map files.
class MapToolFixture : public UnitSimFixture {
protected:
    MapToolFixture() { state.desktopFolder = dir.path() + QLatin1Char('/'); }

    void makeFamily(unitsim::MapFamily family) {
        unitsim::UnitConfig config;
        config.family = family;
        config.streamEnabled = false;
        makeUnit(config);
    }
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
        EXPECT_EQ(session.mnuSave_Click(), MapSaveResult::Saved);
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
    QStringList titles() const {
        QStringList t;
        for (const MsgBox& box : boxes.shown()) {
            t << box.title;
        }
        return t;
    }

    QTemporaryDir dir;
    RecordingProgressWindow progress{&clock};
    ScriptedFileDialogs dialogs;
    RecordingCompareView view;
    MapCompareSession session{link, boxes, progress, dialogs, view};
};

}  // namespace tarquel::test
