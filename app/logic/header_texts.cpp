#include "header_texts.h"

namespace rastrex {

namespace {

std::string size(const HeaderRefusal& r)
{
    return std::to_string(r.value) + "×" + std::to_string(r.other);
}

std::string masks(const HeaderRefusal& r)
{
    return "ヘッダーの色マスク " + hexText(r.value) + "、" + hexText(r.other) + "、" + hexText(r.third);
}

}  // namespace

std::string japaneseRefusal(const HeaderRefusal& r)
{
    const std::string says = "ヘッダーによると";
    const std::string v = std::to_string(r.value);
    switch (r.fault) {
    case HeaderFault::None: return {};
    case HeaderFault::ShortHeader: return "100 バイトのヘッダーの途中でファイルが終わっている。";
    case HeaderFault::HeaderSize: return says + "ヘッダーは " + v + " バイト。100 バイトはあるはずだ。";
    case HeaderFault::LongName: return says + "ウィンドウ名が " + v + " バイトもある。";
    case HeaderFault::NoName: return "ウィンドウ名の前でファイルが終わっている。";
    case HeaderFault::LongSide: return says + "画像は " + size(r) + "。一辺が長すぎる。";
    case HeaderFault::TooManyPixels: return says + "画像は " + size(r) + "。画素が多すぎる。";
    case HeaderFault::BitmapTooLarge: return says + "画像は " + size(r) + "。BMP ファイルが 4 GiB を超える。";
    case HeaderFault::Empty: return says + "画像は " + size(r) + "。画素がひとつもない。";
    case HeaderFault::NoWholePixel: return "最初の画素がそろう前にファイルが終わっている。";
    case HeaderFault::Version: return says + "ファイルのバージョンは " + v + "。7 ではない。";
    case HeaderFault::ByteOrder: return says + "バイト順は " + v + "。0 か 1 のはずだ。";
    case HeaderFault::Format: return says + "形式は " + v + "。0、1、2 のどれかのはずだ。";
    case HeaderFault::Depth: return says + "深さは " + v + " ビット。1 から 32 のはずだ。";
    case HeaderFault::PixelSize: return says + "1 画素 " + v + " ビット。1、4、8、16、24、32 のどれかのはずだ。";
    case HeaderFault::DepthAbovePixel:
        return says + "深さ " + v + " ビットを 1 画素 " + std::to_string(r.other) + " ビットに収めている。";
    case HeaderFault::BitmapDepth: return says + "ビットマップの深さは " + v + "。1 のはずだ。";
    case HeaderFault::BitmapUnit: return says + "単位は " + v + " ビット。8、16、32 のどれかのはずだ。";
    case HeaderFault::BitOrder: return says + "ビット順は " + v + "。0 か 1 のはずだ。";
    case HeaderFault::ShortRows:
        return says + "1 行 " + v + " バイト。画素には " + std::to_string(r.other) + " バイト要る。";
    case HeaderFault::VisualClass: return says + "ビジュアルクラスは " + v + "。0 から 5 のはずだ。";
    case HeaderFault::BrokenMask: return masks(r) + " が壊れている。";
    case HeaderFault::MasksOverlap: return masks(r) + " が重なっている。";
    case HeaderFault::ColourEntries: return says + "色が " + v + " 個もある。";
    case HeaderFault::ColourMapPastEnd: return says + "色は " + v + " 個。その途中でファイルが終わっている。";
    }
    return {};
}

}  // namespace rastrex
