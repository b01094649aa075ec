#include "shell/save_failure.hpp"

#include <cerrno>

#include "text/text.hpp"

namespace vunt {

std::u32string saveErrorText(int errorNumber) {
  struct Reason {
    int number;
    std::u32string_view text;
  };
  static constexpr Reason reasons[] = {
      {ENOSPC, U"ディスクの空きが足りません。"},       {EDQUOT, U"ディスクの空きが足りません。"},
      {EFBIG, U"ファイルの大きさの上限を超えます。"},   {EACCES, U"書き込む権限がありません。"},
      {EPERM, U"書き込む権限がありません。"},           {EROFS, U"読み取り専用の場所です。"},
      {EISDIR, U"同じ名前のフォルダーがあります。"},   {ENOTEMPTY, U"同じ名前のフォルダーがあります。"},
      {EEXIST, U"同じ名前のフォルダーがあります。"},   {ENOENT, U"保存先のフォルダーがありません。"},
      {ENOTDIR, U"保存先のフォルダーがありません。"},  {EIO, U"装置の読み書きに失敗しました。"},
  };
  for (const Reason& r : reasons)
    if (r.number == errorNumber) return std::u32string(r.text);
  return U"書き込みに失敗しました（エラー番号 " + decimalText(errorNumber) + U"）。";
}

std::u32string saveFailureText(const std::u32string& reason, bool previousSaveKept, const std::filesystem::path& path) {
  std::u32string text = U"セーブできませんでした。" + reason + U"\r\n";
  if (previousSaveKept) text += U"前のセーブデータはそのまま残っています。\r\n";
  return text + U"保存先：" + fromUtf8(path.string());
}

}  // namespace vunt
