object Form1: TForm
  object cb: TkxSkinComboBox
    Left = 8
    Top = 8
    Width = 150
    DropDownCount = 5
    Items.Strings = (
      '320x240'
      '640x480'
      '1280x720')
    ItemIndex = 1
  end
  object lb: TkxSkinListBox
    Left = 8
    Top = 40
    Width = 150
    Height = 90
    CaptionMode = True
    Caption = '格式'
    Items.Strings = (
      'one'
      'two')
  end
end
