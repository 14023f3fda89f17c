#pragma once

#include <QString>
#include <QStringList>

namespace vx {

// The program's command line, read before any window exists.
struct CommandLine {
    bool showVersion = false;  // --version
    bool showHelp = false;     // --help, -h
    bool noSound = false;      // --no-sound: play through the silent output
    bool printKeymap = false;  // --print-keymap: print the manual's keyboard table and end
    bool showInfo = false;     // --info FILE...: print the tag texts of files and playlists and end
    bool analyse = false;      // --analyse FILE...: print the tempo, beat grid and loudness of files and end
    bool renderMix = false;    // --render-mix PLAYLIST OUT: Auto DJ's mix of the playlist into a file
    double seconds = 0;        // --seconds N: at most this much of the mix (0: all of it)
    QStringList files;         // the non-option arguments, one by one
    QList<int> fileIndexes;    // where each of `files` stands in the arguments (a name's bytes are there)
    QString argument;          // everything else, joined by blanks: a music file or a playlist
    QString error;             // an unknown option; the program prints it and ends
};

// `arguments` without the program's own name. "--" ends the options.
CommandLine parseCommandLine(const QStringList& arguments);

// The music file the argument names (trimmed), or empty: its last four characters must be ".MP3",
// ".WAV", ".WMA" or ".ASF" in any case (so a text ending in a quotation mark is none).
QString musicFileFrom(const QString& argument);

// What --help prints.
QString usageText();

}  // namespace vx
