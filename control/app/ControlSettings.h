#pragma once

#include <QString>

// The control program's settings, always under the organisation "KVX" and the name "Recorder"
// (the application itself is called "VLM Velmor Control": a settings object made with the
// defaults would read another file).
struct ControlSettings {
    static constexpr const char* Organisation = "KVX";
    static constexpr const char* Application = "Recorder";
    static constexpr const char* AllAdapters = "*ALL*";

    enum Language { English = 0, German = 1, Italian = 2, Japanese = 3 };
    enum OperatorMode { FullControl = 0, FilmingOnly = 1, PlaybackOnly = 2 };

    int link = 0;         // 0 Ethernet, 1 Bluetooth
    int operatorMode = 0; // OperatorMode
    int language = English;
    double playbackSpeed = 0.1;
    QString adapterName = QString::fromLatin1(AllAdapters);

    // The stored values, except that the link and the operator mode always start at 0; an
    // empty adapter name reads as all adapters.
    static ControlSettings load();
    // All five keys.
    void save() const;
};
