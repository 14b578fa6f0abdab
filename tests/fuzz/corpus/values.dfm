object F: TF
  Caption = 'It''s'#10'two'#$41 +
    ' lines'#233
  Font.Style = [fsBold, fsItalic]
  Icon.Data = {
    00FF 10}
end
