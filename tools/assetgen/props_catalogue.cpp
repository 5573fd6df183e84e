#include "props_catalogue.h"

#include <iconv.h>

#include <array>
#include <string>

#include "art.h"
#include "manifest.h"

namespace krvo::assets {
namespace {

constexpr std::array<PropInfo, kPropCount> kProps = {{
    {1, "鲜花", "送给牌友一束鲜花，赞赏他打出的好牌。", false},
    {2, "鸡蛋", "向牌友扔一个鸡蛋，开个小玩笑，千万别当真。", false},
    {3, "红包", "给牌友发一个红包，祝他手气越来越旺。", false},
    {4, "掌声", "为打出漂亮一手的牌友鼓掌喝彩。", false},
    {5, "烟花", "在牌友的座位上空放一朵烟花，热闹一下。", false},
    {6, "香茶", "请牌友喝杯香茶，消消气，慢慢打。", false},
    {7, "幸运星", "挂在自己的座位旁，据说能带来一手好牌。", true},
    {8, "金边头像", "给自己的头像镶一圈金边，一看就是老手。", true},
    {9, "招财猫", "摆在自己桌边的招财猫，图个吉利。", true},
    {10, "护身符", "随身带着的护身符，输了几局也不心慌。", true},
    {11, "喇叭", "在桌边喊一嗓子，让大家都注意到你。", true},
    {12, "奖杯", "庆祝自己拿了头游的小奖杯，摆出来给大家看看。", true},
}};

// The client reads the note file through the ANSI profile API, so it is GBK.
std::string toGbk(std::string_view utf8) {
    iconv_t converter = iconv_open("GBK", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) return {};
    std::string input(utf8);
    std::string output(input.size() * 2 + 4, '\0');
    char* in = input.data();
    char* out = output.data();
    size_t inLeft = input.size();
    size_t outLeft = output.size();
    const size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (result == static_cast<size_t>(-1)) return {};
    output.resize(output.size() - outLeft);
    return output;
}

}  // namespace

const PropInfo* FindProp(int id) {
    if (id < 1 || id > kPropCount) return nullptr;
    return &kProps[static_cast<size_t>(id - 1)];
}

QByteArray WritePropNotes(const AssetEntry&) {
    std::string text = "; Notes of the props sold at the table, read by the props market.\r\n";
    for (const PropInfo& prop : kProps) {
        text += "[DaoJuInfo_ID_" + std::to_string(prop.id) + "]\r\n";
        text += "Name=" + std::string(prop.name) + "\r\n";
        text += "Note=" + std::string(prop.note) + "\r\n\r\n";
    }
    const std::string gbk = toGbk(text);
    return QByteArray(gbk.data(), static_cast<qsizetype>(gbk.size()));
}

}  // namespace krvo::assets
