object F: TForm
  object sd: TkxSkinData
  end
  object vb: TkxSkinScrollBar
    Kind = sbVertical
    SkinData = sd
  end
  object lb: TkxSkinListBox
    Left = 4
    Top = 4
    Width = 120
    Height = 90
    Items.Strings = (
      'MP4'
      'AVI')
    SkinData = sd
  end
  object lv: TkxSkinListView
    Width = 300
    Height = 100
    ViewStyle = vsReport
    SkinData = sd
    VScrollBar = vb
  end
  object tv: TkxSkinTreeView
    Width = 100
    Height = 100
    SkinData = sd
  end
  object ol: TkxSkinOfficeListBox
    Width = 100
    Height = 100
    SkinData = sd
  end
  object oc: TkxSkinOfficeComboBox
    Width = 200
    Height = 40
    SkinData = sd
  end
end
