// Writes a large exam into a folder, for timing vantry-grade: the answer sheet and the
// parameters file in GBK, with the given numbers of students, questions and keyword
// groups per question, and answers of about ANSWER_BYTES bytes each. The same arguments
// always give the same bytes.
//
//   make_large_sheet DIR [STUDENTS=20000] [QUESTIONS=10] [GROUPS=8] [ANSWER_BYTES=300]
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/file_io.h"
#include "text/gbk_codec.h"
#include "text/gbk_text.h"

namespace {

// Words of junior-middle-school biology; keyword alternatives and answers draw on them.
const char* const kWords[] = {
    "光合作用", "叶绿体",   "二氧化碳", "氧气",     "有机物", "淀粉",   "葡萄糖",
    "光照",     "细胞壁",   "细胞膜",   "细胞核",   "液泡",   "线粒体", "呼吸作用",
    "能量",     "蒸腾作用", "口腔",     "食道",     "胃",     "小肠",   "大肠",
    "消化",     "吸收",     "营养物质", "骨骼肌",   "关节",   "杠杆",   "支点",
    "神经系统", "激素",     "血液",     "心脏",     "动脉",   "静脉",   "毛细血管",
    "红细胞",   "白细胞",   "血小板",   "生态系统", "食物链", "生产者", "消费者",
    "分解者",   "单向流动", "逐级递减", "遗传",     "变异",   "基因",
};
constexpr int kWordCount = sizeof(kWords) / sizeof(kWords[0]);
const char* const kFillers[] = {"，", "。",   "是",   "的",   "在",
                                "和", "通过", "进行", "产生", "需要"};
constexpr int kFillerCount = sizeof(kFillers) / sizeof(kFillers[0]);

int Arg(int argc, char** argv, int i, int fallback) {
  return argc > i ? std::atoi(argv[i]) : fallback;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: make_large_sheet DIR [STUDENTS] [QUESTIONS] [GROUPS] "
                 "[ANSWER_BYTES]\n");
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  const int students = Arg(argc, argv, 2, 20000);
  const int questions = Arg(argc, argv, 3, 10);
  const int groups = Arg(argc, argv, 4, 8);
  // The words are Chinese: three bytes each in UTF-8 here, two in GBK.
  const size_t answer_utf8_bytes = static_cast<size_t>(Arg(argc, argv, 5, 300)) * 3 / 2;
  std::mt19937 random(20261208);
  const auto word = [&] { return std::string(kWords[random() % kWordCount]); };

  std::string params = "大型测试 评分参数\n";
  for (int q = 1; q <= questions; ++q) {
    params += "<综合题>\n<分值>" + std::to_string(groups * 2 - 2) + "</分值>\n";
    for (int g = 0; g < groups; ++g) {
      params += "<关键词>";
      const int alternatives = 1 + static_cast<int>(random() % 4);
      for (int a = 0; a < alternatives; ++a) params += (a ? "|" : "") + word();
      params += "</关键词>\n";
    }
    params += "</综合题>\n";
  }

  std::string sheet;
  sheet.reserve(static_cast<size_t>(students) * static_cast<size_t>(questions) *
                (answer_utf8_bytes + 30));
  for (int s = 1; s <= students; ++s) {
    sheet += "<姓名>\t学生" + std::to_string(s) + "\t</姓名>\r\n<答题文本>\t";
    for (int q = 1; q <= questions; ++q) {
      if (q > 1) sheet += '\t';
      std::string answer;
      while (answer.size() < answer_utf8_bytes) {
        answer += word();
        answer += kFillers[random() % kFillerCount];
      }
      sheet += answer;
    }
    sheet += "\t</答题文本>\r\n";
  }

  const vantry::GbkText gbk_params = vantry::Utf8ToGbk(params);
  const vantry::GbkText gbk_sheet = vantry::Utf8ToGbk(sheet);
  if (!vantry::WriteWholeFile(vantry::PathInDirectory(dir, "参数设置.txt"),
                              {gbk_params.bytes()}) ||
      !vantry::WriteWholeFile(vantry::PathInDirectory(dir, "学生答题文本.txt"),
                              {gbk_sheet.bytes()})) {
    std::fprintf(stderr, "make_large_sheet: cannot write into %s\n", argv[1]);
    return 1;
  }
  std::printf("%zu\n", gbk_sheet.size());
  return 0;
}
