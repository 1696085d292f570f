#include "config/tree_node_data.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

TEST(TreeNodeData, RecordLayoutByteForByte) {
  TTreeNodeData d;
  d.Kind = NodeKind::Selected;
  d.Text = "06:10 - 06:30";
  d.StartMinute = 0x0172;
  d.Duration = 20;
  d.FreqCode = 1;
  d.Id = {'A', 'B', 'C', 'D', 'E', 'F'};
  Bytes out;
  d.write(out);
  ASSERT_EQ(out.size(), TTreeNodeData::kRecordSize);
  EXPECT_EQ(out[0], 3);
  EXPECT_EQ(out[1], 13);
  EXPECT_EQ(std::string(out.begin() + 2, out.begin() + 15), d.Text);
  EXPECT_EQ(out[15], 0);
  EXPECT_EQ(out[129], 0);
  EXPECT_EQ(out[130], 0x72);
  EXPECT_EQ(out[131], 0x01);
  EXPECT_EQ(out[132], 20);
  EXPECT_EQ(out[133], 1);
  EXPECT_EQ(std::string(out.begin() + 134, out.end()), "ABCDEF");
  EXPECT_EQ(TTreeNodeData::read(out), d);
}

TEST(TreeNodeData, LongTextsAreCutAndBadLengthsBounded) {
  TTreeNodeData d;
  d.Text = std::string(200, 'x');
  Bytes out;
  d.write(out);
  EXPECT_EQ(out.size(), TTreeNodeData::kRecordSize);
  EXPECT_EQ(out[1], 127);
  out[1] = 255;
  EXPECT_EQ(TTreeNodeData::read(out).Text.size(), 127u);
  EXPECT_EQ(recordText(std::string(130, 'y')).size(), 127u);
}

}  // namespace
}  // namespace tern
