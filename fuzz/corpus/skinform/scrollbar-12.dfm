object Form1: TForm
  object h: TkxSkinScrollBar
    Left = 8
    Width = 300
    PageSize = 521
    Position = 5
    Max = 529
    LargeChange = 13
  end
  object v: TkxSkinScrollBar
    Kind = sbVertical
    Height = 200
    Width = 19
    SkinDataName = 'vscrollbar'
    Position = 400
    PageSize = 13
    Both = True
    CanFocused = True
  end
end
