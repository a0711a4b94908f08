#include "verb_texts.h"

namespace rastrex::verb {

std::string overwriteQuestion(std::size_t existing)
{
    return std::to_string(existing) + " 個の BMP ファイルがすでにある。上書きするか?";
}

std::string progressText(const Progress& progress)
{
    return progress.current + "\n" + std::to_string(progress.done) + " / " + std::to_string(progress.total);
}

}  // namespace rastrex::verb
