#pragma once
// Text rules of the shortcut panel and of the list of programs opened after connecting:
// names taken from paths, web addresses, the checks of the add dialogs and the question
// texts. Strings are GB2312 (double-byte characters are stepped over whole, so a trail
// byte that happens to be '\\' is never taken for a path separator).

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnix {

// "添加分组" stops at this many folders, "我的电脑" included.
inline constexpr int kMaxShortcutFolders = 8;
// The bar shows at most this many (a Settings.ini written by a peer or by hand may hold
// more than the command allows): their headers, 22 pixels each, still leave the page
// room for items. The panel keeps the others aside and saves them back.
inline constexpr int kMaxShownFolders = 16;
// Longest texts an item keeps, in bytes (the item record's buffers less the terminator).
inline constexpr std::size_t kMaxCaptionBytes = 99;
inline constexpr std::size_t kMaxTargetBytes = 254;
// Folder names are read back into 256-byte buffers: longer ones are cut when set.
inline constexpr std::size_t kMaxFolderNameBytes = 255;

// The first `maxBytes` bytes of `text`, shortened by one more byte rather than ending in
// half a double-byte character.
std::string truncateGb(std::string_view text, std::size_t maxBytes);

// Blanks (space, tab, CR, LF) removed from both ends.
std::string trimBlanks(std::string_view text);

// The part after the last backslash; the whole path when that part is empty (C:\).
std::string nameFromPath(std::string_view path);

// A dropped file's caption: its name without the extension, the whole name when it has
// none (or nothing but an extension, as ".profile").
std::string captionFromFileName(std::string_view path);

// The folder an item keeps beside its target: the target, ending in a backslash when its
// last part has no '.' (it names a folder or a drive).
std::string locationFromTarget(std::string_view target);

// True for a URL with a scheme of two or more letters ("http://", "https://", "ftp://"):
// such targets get the web-page icon and are opened as addresses. A drive ("C://") is no
// scheme.
bool isWebAddress(std::string_view target);

// An address as entered: trimmed, and with "http://" in front when it names no scheme of
// its own; "https://..." and "http://..." stay as they are.
std::string webAddressWithScheme(std::string_view address);

// The result of a dialog's check: no `message` means accepted, with the text to use.
struct TextCheck {
    std::string value;
    unsigned message = 0;  // the id of the text shown in a "提示" box; 0: none
    bool accepted() const { return message == 0; }
};

// "确定" of "添加组" and of the panel's add-folder command: the name is trimmed and must not
// be empty; with `folderCount` folders already there, a ninth is refused. The accepted
// name is cut to kMaxFolderNameBytes.
TextCheck checkNewFolder(int folderCount, std::string_view name);

// "确定" of "增加文件": the trimmed path, not empty, and short enough for an item.
TextCheck checkFilePath(std::string_view path);

// "确定" of "增加网页": name and address must be given and the address short enough for an
// item. The accepted name is trimmed and cut to kMaxCaptionBytes, the address gets its
// scheme.
struct WebPageCheck {
    std::string name;
    std::string address;
    unsigned message = 0;
    bool accepted() const { return message == 0; }
};
WebPageCheck checkWebPage(std::string_view name, std::string_view address);

// The question before a shortcut is deleted:
// 确定要删除"<folder>"分组中的, a line break, "<shortcut>"栏目吗?
std::string deleteShortcutQuestion(std::string_view folder, std::string_view shortcut);

}  // namespace tarnix
