#pragma once

#include <QString>
#include <QStringList>

namespace tarquel {

// Opens a document with the desktop's own viewer for its type (a help document in the web
// browser). Never through a shell command line.
class DesktopServices {
public:
    virtual ~DesktopServices() = default;
    // False when the desktop has no viewer or refused.
    virtual bool openDocument(const QString& path) = 0;
};

// Test double: records the documents asked for.
class RecordingDesktopServices : public DesktopServices {
public:
    bool openDocument(const QString& path) override {
        opened_ << path;
        return true;
    }
    const QStringList& opened() const { return opened_; }

private:
    QStringList opened_;
};

}  // namespace tarquel
