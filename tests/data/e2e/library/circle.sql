-- One drawable section (a circle), so that "输出" puts an entity in the drawing for later picks.
insert into SectionInfo (Type,GroupSec,Name,SectionInfo,Remark) values
  (1,1,'圆','[Circle]
Center=0,0
Radius=50
Color=255,0,0
Layer=0
','画圆');
