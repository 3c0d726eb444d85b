#pragma once

#include "maptool/MapTool.h"
#include "support/SessionRig.h"

#include <QFile>
#include <QTemporaryDir>

namespace tarquel::test {

// The session's map tool against the simulated unit on virtual time, with a folder for map files.
class MapToolFixture : public SessionRig {
protected:
    MapToolFixture() { maps().setDesktopFolder(dir.path() + QLatin1Char('/')); }

    MapTool& maps() { return session->maps(); }
    void makeFamily(unitsim::MapFamily family) { makeUnit(quietUnit(family)); }
    QString path(const QString& name) const { return dir.filePath(name); }
    static QByteArray contents(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Replaces the text from, which must be in the file, by to.
    static void edit(const QString& file, const QByteArray& from, const QByteArray& to) {
        QByteArray bytes = contents(file);
        ASSERT_TRUE(bytes.contains(from)) << from.toStdString();
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes.replace(from, to));
    }

    QTemporaryDir dir;
};

}  // namespace tarquel::test
