object F: TForm
  BorderStyle = bsNone
  ClientWidth = 200
  ClientHeight = 100
  object SD: TkxSkinData
  end
  object S: TkxSkinSplitter
    Align = alTop
    SkinDataName = 'hsplitter'
    DefaultSize = 7
    Transparent = True
    MinSize = 20
    SkinData = SD
  end
  object B: TkxSkinBevel
    Shape = bsTopLine
    DividerMode = True
    SkinData = SD
  end
end
