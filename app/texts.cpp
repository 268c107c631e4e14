#include "texts.h"

#include "text_encoding.h"

#include <windows.h>

const char appTitle[] = "Tallyon Ver.1.20";

const char englishCaption[] = "英文を処理する";
const char settingsCaption[] = "設　定";
const char targetCaption[] = "対象";
const char browseCaption[] = "参　照";
const char runCaption[] = "実　行";
const char legendCaption[] = "♪：文書検索　●：ユーザー単語登録　×：除外";
const char searchCaption[] = "♪";
const char userWordCaption[] = "●";
const char excludeCaption[] = "×";
const char minBytesCaption[] = "単語とみなす最低文字数：";
const char* const classCaptions[6] = {"半角英数記号", "半角カタカナ", "全角英数記号",
                                      "全角ひらがな", "全角カタカナ", "漢字"};
const char toFullWidthCaption[] = "半角カナ→全角カナ";
const char toUpperCaption[] = "英小文字→英大文字";
const char minCountCaption[] = "ログに出力する最低出現件数：";
const char applyCaption[] = "適　用";
const char cancelCaption[] = "取　消";

const char secondInstanceMessage[] = "二重起動はできません";
const char userWordListMessage[] = "ユーザー単語リストのオープンに失敗しました";
const char excludedListMessage[] = "除外リストのオープンに失敗しました";
const char noTargetMessage[] = "対象ファイルを指定してください";
const char finishedMessage[] = "検索処理が終了しました";
const char finishedCaption[] = "終了";
const char editorFailedMessage[] = "標準エディタの起動に失敗しました";
const char* const runErrorMessages[4] = {"入出力エラーが発生しました", "検索エラーが発生しました",
                                         "キーワード生成エラーが発生しました",
                                         "バッファオーバーフローが発生しました"};
const char closeQuestion[] = "Tallyonを終了します";
const char confirmCaption[] = "確認";
const char noKeywordMessage[] = "キーワードがありません";
const char userWordAddedMessage[] = "ユーザー単語リストに追加しました";
const char userWordAddedCaption[] = "ユーザー単語";
const char excludedWordAddedMessage[] = "除外リストに追加しました";
const char excludedWordAddedCaption[] = "除外";
const char emptyFieldMessage[] = "全ての項目に値を入力してください";
const char unwritableWordMessage[] = "シフトJISのリストに書き込めない文字が含まれています";

namespace {

const char errorCaption[] = "エラー";

} // namespace

std::wstring wideText(std::string_view codePage932) {
    std::string bytes = fromCodePage932(TextEncoding::Utf16LE, codePage932);
    std::wstring text(bytes.size() / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<unsigned char>(bytes[2 * i]) |
                  static_cast<unsigned char>(bytes[2 * i + 1]) << 8;
    return text;
}

std::string utf8Text(std::wstring_view text) {
    int length = static_cast<int>(text.size());
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string utf8(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

void showError(const char* text) {
    MessageBoxW(nullptr, wideText(text).c_str(), wideText(errorCaption).c_str(),
                MB_OK | MB_ICONWARNING | MB_TASKMODAL);
}

void showInformation(const char* text, const char* caption) {
    MessageBoxW(nullptr, wideText(text).c_str(), wideText(caption).c_str(),
                MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
}
