#pragma once

#include <QString>

#include <functional>

namespace vespira {

// Maps the Windows-style document paths a database stores ("X:\dir\file.htm") to native
// paths. Z: is the file-system root; any other letter X maps to the folder named by the
// settings value "Laufwerk_X", or to nothing when that value is empty. Drive letters are
// read without regard to case. Used everywhere a document path meets the disk.
class DocPathMapper
{
public:
    // Reads a settings value by name; a missing value reads as the empty text.
    using SettingReader = std::function<QString(const QString &name)>;

    explicit DocPathMapper(SettingReader readSetting = {});

    // The native path, or the empty text when the drive letter maps nowhere or the path
    // has no "X:\" prefix.
    QString toNative(const QString &windowsPath) const;

    // Whether the path names an existing regular file once mapped.
    bool existsAsFile(const QString &windowsPath) const;

    // The native folder of a drive letter ("/" for Z), or the empty text.
    QString driveRoot(QChar letter) const;

private:
    SettingReader m_readSetting;
};

// Backslashes to slashes, for the rest of a Windows path put under a native folder.
QString slashes(QString path);

// Whether text starts with a drive letter, ":" and "\".
bool hasDrivePrefix(const QString &path);

} // namespace vespira
