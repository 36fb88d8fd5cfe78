object Form1: TForm
  object ComboBox1: TkxSkinOfficeComboBox
    Left = 10
    Width = 119
    ToolButtonStyle = True
    ListBoxItemHeight = 50
    ListBoxShowItemTitles = False
    ListBoxShowLines = True
    ListBoxSkinDataName = 'resizetoolpanel'
    DropDownCount = 4
    Items = <
      item
        Caption = '常用视频'
        ImageIndex = 0
      end
      item
        Caption = '手机视频'
        ImageIndex = 1
      end>
    ItemIndex = 1
  end
end
