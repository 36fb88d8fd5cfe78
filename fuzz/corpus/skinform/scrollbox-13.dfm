object Form1: TForm
  object sb: TkxSkinScrollBox
    Width = 200
    Height = 100
    BorderStyle = bvLowered
    VScrollBar = v
    HScrollBar = h
    CanFocused = True
  end
  object v: TkxSkinScrollBar
    Kind = sbVertical
  end
  object h: TkxSkinScrollBar
  end
end
