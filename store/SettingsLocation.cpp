#include "store/SettingsLocation.h"

namespace plumwick {

SettingsLocation ChooseSettingsLocation(bool programFileWritable, bool perUserCopyExists) {
    if (programFileWritable) {
        return {SettingsPlace::ProgramFolder, SettingsPlace::ProgramFolder};
    }
    if (perUserCopyExists) {
        return {SettingsPlace::PerUser, SettingsPlace::PerUser};
    }
    return {SettingsPlace::ProgramFolder, SettingsPlace::PerUser};
}

std::u16string SettingsKeptPerUserNotice(std::u16string_view perUserPath) {
    std::u16string path(perUserPath);
    return u"程序文件夹不能写入，字体和颜色设置保存在：\r\n" + path +
           u"\r\nThe program folder cannot be written; the font and colour settings are kept in the file "
           u"above.";
}

std::u16string SettingsNotSavedNotice(std::u16string_view path, std::u16string_view reason) {
    std::u16string text = u"无法保存设置文件：\r\n" + std::u16string(path);
    if (!reason.empty()) {
        text += u"\r\n" + std::u16string(reason);
    }
    return text + u"\r\nThe settings could not be saved. The new look applies until the program ends.";
}

} // namespace plumwick
