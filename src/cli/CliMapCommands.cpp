// map save, map compare, map revert: the EEPROM map tool of the comparison window.
#include "cli/CliCommand.h"

#include <QJsonArray>
#include "maptool/MapSave.h"
#include "maptool/MapTool.h"

#include <QFileInfo>

namespace tarquel {

namespace {

// One line per differing word, "address saved live", then the summary. Exit 0 equal, 7 not.
int printComparison(CliContext& c, const MapTool& maps) {
    const std::vector<WordDifference> words = maps.differences();
    QJsonArray differing;
    for (const WordDifference& word : words) {
        c.out << word.address << " " << printableText(word.saved) << " " << word.live << "\n";
        differing.append(QJsonObject{{QStringLiteral("address"), word.address},
                                     {QStringLiteral("saved"), printableText(word.saved)},
                                     {QStringLiteral("live"), word.live}});
    }
    if (c.request.json) {
        c.printJson({{QStringLiteral("file"), maps.savedFileName()},
                     {QStringLiteral("words"), static_cast<int>(maps.savedMap().size() * 128)},
                     {QStringLiteral("match"), words.empty()},
                     {QStringLiteral("differences"), differing}});
    }
    if (words.empty()) {
        c.out << "Maps match: " << maps.savedMap().size() * 128 << " words equal.\n";
        return CliExit::Ok;
    }
    c.out << "Maps do not match exactly: " << words.size() << " of " << maps.savedMap().size() * 128
          << " words differ.\n";
    return CliExit::MapsDiffer;
}

bool fileArgument(CliRequest& request, QString& error) {
    if (request.args.value(0).isEmpty()) {
        error = request.command + QStringLiteral(" needs a file name");
        return false;
    }
    return true;
}

// The live map and the file loaded against it; 0, or the exit code of what went wrong (the
// message boxes have said why).
int retrieveAndLoad(CliContext& c, MapTool& maps) {
    const QString file = c.request.args.value(0);
    if (!QFileInfo(file).isFile()) {
        c.err << "tarquel-cli: no file " << file << "\n";
        return CliExit::BadArguments;
    }
    if (!maps.RetrieveUnitMap()) {
        return c.noUnit();
    }
    if (!maps.compareWithFile(file)) {
        c.err << "tarquel-cli: " << file << " could not be loaded as a map of this unit\n";
        return CliExit::BadArguments;
    }
    return CliExit::Ok;
}

int mapSave(CliContext& c) {
    const QString file = c.request.args.value(0);
    const StdUnitAccess& access = c.session.link().access();
    switch (c.session.maps().saveMapTo(file)) {
        case MapSaveResult::Saved:
            c.out << "Saved " << access.unitMap().lastPage + 1 << " page(s) to " << file << "\n";
            return CliExit::Ok;
        case MapSaveResult::Cancelled:
        case MapSaveResult::NotOverwritten:
            c.out << "Nothing written.\n";
            return CliExit::Ok;
        case MapSaveResult::ReadFailed:
            return access.unitMap().identified ? CliExit::NoAnswer : c.noUnit();
        case MapSaveResult::WriteFailed:
            break;
    }
    return CliExit::PortFailure;
}

int mapCompare(CliContext& c) {
    MapTool& maps = c.session.maps();
    const int loaded = retrieveAndLoad(c, maps);
    return loaded != CliExit::Ok ? loaded : printComparison(c, maps);
}

int mapRevert(CliContext& c) {
    MapTool& maps = c.session.maps();
    const int loaded = retrieveAndLoad(c, maps);
    if (loaded != CliExit::Ok) {
        return loaded;
    }
    const RevertResult result = maps.revertMap();
    for (const WordDifference& word : maps.wordsWritten()) {
        c.out << "wrote " << word.address << " " << word.saved << " (was " << word.live << ")\n";
    }
    switch (result) {
        case RevertResult::Reverted:
            c.out << "Checksum recalculated; map read again.\n";
            return printComparison(c, maps);
        case RevertResult::Declined:
        case RevertResult::NoSavedMap:
            c.out << "Nothing written.\n";
            return CliExit::Ok;
        case RevertResult::BadSavedByte:
            c.err << "tarquel-cli: the file holds a byte that is not two hex digits; nothing "
                     "written\n";
            return CliExit::BadArguments;
        case RevertResult::AccessRefused:
        case RevertResult::WriteFailed:
            if (!maps.wordsWritten().empty()) {
                c.out << "Stopped part-way; checksum recalculated.\n";
            }
            return CliExit::NotVerified;
        case RevertResult::NoBackup:
            return CliExit::NoBackup;
        case RevertResult::RetrieveFailed:
            break;
    }
    return CliExit::NoAnswer;
}

const CliCommand kCommands[] = {
    {"map save",
     "  map save FILE [--yes]    read the whole EEPROM map with its checksum into a map file\n", 1,
     1, true, false, false, fileArgument, mapSave},
    {"map compare",
     "  map compare FILE         compare a saved map file with the unit's map: one line per\n"
     "                           differing word (address saved live); exit 7 when they differ\n",
     1, 1, false, false, true, fileArgument, mapCompare},
    {"map revert",
     "  map revert FILE [--yes]  write the words of a saved map that differ back into the unit,\n"
     "                           recalculate the checksum and compare again\n",
     1, 1, true, false, false, fileArgument, mapRevert},
};

}  // namespace

std::span<const CliCommand> mapCommands() {
    return kCommands;
}

}  // namespace tarquel
