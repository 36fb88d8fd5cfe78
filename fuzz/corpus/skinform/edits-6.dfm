object Form1: TForm
  object kxSkinData1: TkxSkinData
  end
  object edOut: TkxSkinEdit
    Left = 10
    Top = 10
    Width = 350
    Height = 18
    ReadOnly = True
    ButtonMode = True
    SkinData = kxSkinData1
    SkinDataName = 'buttonedit'
    UseSkinFont = True
    Text = '/home/user/输出'
  end
  object num: TkxSkinNumEdit
    EditorEnabled = False
  end
end
